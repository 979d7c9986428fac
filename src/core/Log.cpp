#include "core/Log.h"

#include "core/FileSys.h"

#include <cerrno>
#include <ctime>

void WriteLogRecord(FILE* stream, const char* text)
{
    if (!stream)
        return;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16], clock[16];
    std::strftime(date, sizeof date, "%m/%d/%y", &local);
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    std::fprintf(stream, "%s %s -- %s\n", date, clock, text ? text : "");
    std::fflush(stream);
}

int AppendErrorLog(const char* path, const char* text)
{
    FILE* f = OpenFile(path, "a+t");
    if (!f)
        return errno ? errno : -1;
    WriteLogRecord(f, text);
    return std::fclose(f);
}
