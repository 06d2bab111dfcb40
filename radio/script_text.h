#ifndef WLAN_RADIO_SCRIPT_TEXT_H
#define WLAN_RADIO_SCRIPT_TEXT_H

#include <string>

#include "util/atomic_file.h"

// The text of a generated script, built in memory and written to its file in one go.
class ScriptText {
public:
    void Add(const char* text) { _text += text; }
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    const std::string& Text() const { return _text; }

private:
    std::string _text;
};

// A script file being generated. The new script is written beside the old one and replaces it
// only once it is complete and executable, so a failed generation leaves the old script as it
// was. Failures are reported at level 5 with "fopen %s error!", "stat %s error!",
// "chmod %s error!" or "write %s error!" and the path.
class ScriptFile {
public:
    bool Open(const char* path);
    // Writes the text, adds the owner and group execute bits to the new file's mode and
    // replaces the old script. 0 or -1.
    int Commit(const ScriptText& script);

private:
    AtomicFile _file;
    std::string _path;
};

#endif
