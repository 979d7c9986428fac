#pragma once
#include <cstdio>

// Log records are "MM/DD/YY HH:MM:SS -- text\n" in local time, flushed at once.
// Logging never stops the game: a null stream (a failed open) writes nothing.
void WriteLogRecord(FILE* stream, const char* text);

// Appends one record to path (opened "a+t", closed after). Returns the open
// error (errno) when the file cannot be opened, else the close result.
int AppendErrorLog(const char* path, const char* text);
