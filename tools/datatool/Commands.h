#pragma once
#include <cstdio>
#include <functional>
#include <string>

class DisplayDevice;

// A subcommand of brimvale-data: argc/argv after the subcommand name; output to
// out, messages to err; returns the process exit status (0 ok, 1 bad input, 2 usage).
using DataCommand = int (*)(int argc, char** argv, FILE* out, FILE* err);

struct DataCommandEntry {
    const char* name;
    const char* usage;
    DataCommand run;
};

// Every subcommand, ending in a null entry. Later subsystems add theirs here.
const DataCommandEntry* DataCommands();
int RunDataTool(int argc, char** argv, FILE* out, FILE* err);

int CmdScramble(int argc, char** argv, FILE* out, FILE* err);
int CmdUnscramble(int argc, char** argv, FILE* out, FILE* err);
int CmdHelp(int argc, char** argv, FILE* out, FILE* err);
int CmdStory(int argc, char** argv, FILE* out, FILE* err);
int CmdTemplate(int argc, char** argv, FILE* out, FILE* err);
int CmdProfile(int argc, char** argv, FILE* out, FILE* err);
int CmdHighscores(int argc, char** argv, FILE* out, FILE* err);
int CmdLevel(int argc, char** argv, FILE* out, FILE* err);
int CmdCheck(int argc, char** argv, FILE* out, FILE* err);

// Runs `work` with a headless display device inside the data directory: DIR
// when given (-C DIR), else the directory `path` lies in (`path` then becomes
// its file name); back in the old directory afterwards. 1 when either fails.
// "[-C DATADIR] FILE": false, with the usage line on `err`, for anything else.
bool ReadDataDirAndFile(int argc, char** argv, const char* usage, FILE* err, std::string& dataDir,
                        std::string& file);
int InDataDirectory(std::string dataDir, std::string& path, FILE* err,
                    const std::function<int(DisplayDevice* device)>& work);
