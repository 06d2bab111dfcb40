#ifndef WLAN_RADIO_SCRIPT_TEXT_H
#define WLAN_RADIO_SCRIPT_TEXT_H

#include <stdio.h>

#include <string>

// The text of a generated script, built in memory and written to its file in one go.
class ScriptText {
public:
    void Add(const char* text) { _text += text; }
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& Text() const { return _text; }

private:
    std::string _text;
};

// A script file being generated: created (or truncated) by Open, filled and made executable by
// Commit. Failures are reported at level 5 with "fopen %s error!", "stat %s error!" or
// "chmod %s error!" and the path.
class ScriptFile {
public:
    ScriptFile() = default;
    ~ScriptFile();
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;

    bool Open(const char* path);
    // Writes the text, closes the file and adds the owner and group execute bits. 0 or -1.
    int Commit(const ScriptText& script);

private:
    FILE* _file = nullptr;
    std::string _path;
};

#endif
