// harness_dumps: runs the harness from the tests and reads its JSON dumps back, one record per
// dumped frame, so that whole games can be checked field by field.
#pragma once

#include "testutil.h"

#include <algorithm>  // min
#include <cmath>      // NAN
#include <cstdlib>    // strtod
#include <map>        // the fields of one dump
#include <string>     // arguments and values
#include <vector>     // the dumps of a run

// One dumped frame: every field's value as the harness wrote it (strings without their quotes).
struct HarnessDump {
    std::map<std::string, std::string> fields;
    std::vector<std::string> names;  // the field names in the order the harness wrote them

    bool has(const char* name) const
    {
        return fields.count(name) != 0;
    }
    // The field as a number; NaN when it is missing, so that every comparison with it fails.
    double num(const char* name) const
    {
        auto it = fields.find(name);
        return it == fields.end() ? NAN : strtod(it->second.c_str(), nullptr);
    }
    const std::string& text(const char* name) const
    {
        static const std::string none;
        auto it = fields.find(name);
        return it == fields.end() ? none : it->second;
    }
};

// " --dump-at N" for every step-th frame from step up to last.
inline std::string dumpEvery(long step, long last)
{
    std::string args;
    for (long f = step; f <= last; f += step)
        args += " --dump-at " + std::to_string(f);
    return args;
}

// Reads the harness's output: one object per line, `"name": value` pairs separated by ", ".
inline std::vector<HarnessDump> parseDumps(const std::string& out)
{
    std::vector<HarnessDump> dumps;
    size_t pos = 0;
    while ((pos = out.find('{', pos)) != std::string::npos) {
        HarnessDump dump;
        size_t end = out.find('}', pos);
        if (end == std::string::npos)
            break;
        size_t at = pos + 1;
        while (at < end) {
            size_t nameStart = out.find('"', at);
            if (nameStart == std::string::npos || nameStart > end)
                break;
            size_t nameEnd = out.find('"', nameStart + 1);
            if (nameEnd == std::string::npos || nameEnd + 3 >= end)
                break;  // a cut-off record: keep the fields read so far
            std::string name = out.substr(nameStart + 1, nameEnd - nameStart - 1);
            size_t value = nameEnd + 3;  // past `": `
            size_t valueEnd;
            if (out[value] == '"') {
                valueEnd = out.find('"', value + 1);
                if (valueEnd == std::string::npos || valueEnd > end)
                    break;
                dump.fields[name] = out.substr(value + 1, valueEnd - value - 1);
                valueEnd++;
            } else {
                // Up to the next field or the end: a number written with a decimal comma stays whole.
                valueEnd = std::min(out.find(", \"", value), end);
                dump.fields[name] = out.substr(value, valueEnd - value);
            }
            dump.names.push_back(name);
            at = valueEnd + 1;
        }
        dumps.push_back(dump);
        pos = end + 1;
    }
    return dumps;
}

// Runs the harness from the build folder (where data/ is) and returns its raw output.
inline std::string runHarness(const std::string& args, int* exitCode = nullptr)
{
    return testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness " + args + " 2>/dev/null", exitCode);
}

// Times the owl started dying, counted over dumps taken at least every 5 frames (a death lasts longer).
inline int countDeaths(const std::vector<HarnessDump>& dumps)
{
    int deaths = 0;
    for (size_t i = 1; i < dumps.size(); i++)
        if (dumps[i - 1].num("mode") == 2 && dumps[i].num("dying") == 1 && dumps[i - 1].num("dying") == 0)
            deaths++;
    return deaths;
}
