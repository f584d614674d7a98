// The machine a benchmark ran on, for the first line of its figures: the
// processor as the system names it, with its family and model numbers
// (a name alone can stand for several generations).
#pragma once
#include <cstdio>
#include <cstring>
#include <string>

inline std::string machine_processor()
{
    FILE* f = fopen("/proc/cpuinfo", "r");
    std::string name = "unknown processor", family, model;
    char line[256];
    while (f && fgets(line, sizeof line, f)) {
        const char* colon = strchr(line, ':');
        if (!colon || colon[1] == '\0')
            continue;
        std::string value = colon + 2;
        value.erase(value.find_last_not_of(" \n") + 1);
        if (strncmp(line, "model name", 10) == 0 || strncmp(line, "Hardware", 8) == 0)
            name = value;
        else if (strncmp(line, "cpu family", 10) == 0 || strncmp(line, "CPU architecture", 16) == 0)
            family = value;
        else if ((strncmp(line, "model\t", 6) == 0 || strncmp(line, "CPU part", 8) == 0) && model.empty())
            model = value;
        if (line[0] == '\n' && !family.empty())
            break;  // the first processor is enough
    }
    if (f)
        fclose(f);
    return name + (family.empty() ? "" : " (family " + family + ", model " + model + ")");
}
