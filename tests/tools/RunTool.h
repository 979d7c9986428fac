#pragma once
#include "datatool/Commands.h"

#include <cstdio>
#include <string>
#include <vector>

// Runs brimvale-data in-process with the given arguments (the program name is
// added) and collects what it printed.
struct ToolResult {
    int status;
    std::string out;
    std::string err;
};

inline ToolResult RunTool(std::vector<std::string> args)
{
    args.insert(args.begin(), "brimvale-data");
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    int status = RunDataTool(static_cast<int>(argv.size()), argv.data(), out, err);
    auto slurp = [](FILE* f) {
        std::string s;
        std::rewind(f);
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            s.append(buf, n);
        std::fclose(f);
        return s;
    };
    std::string o = slurp(out);
    return {status, o, slurp(err)};
}
