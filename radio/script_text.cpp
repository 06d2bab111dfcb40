#include "radio/script_text.h"

#include <stdarg.h>
#include <stdio.h>
#include <sys/stat.h>

#include "util/log.h"

void ScriptText::Printf(const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    va_list again;
    va_copy(again, ap);
    int length = vsnprintf(nullptr, 0, format, ap);
    va_end(ap);
    if (length > 0) {
        size_t start = _text.size();
        _text.resize(start + static_cast<size_t>(length) + 1);
        vsnprintf(&_text[start], static_cast<size_t>(length) + 1, format, again);
        _text.resize(start + static_cast<size_t>(length));
    }
    va_end(again);
}

bool ScriptFile::Open(const char* path) {
    _path = path;
    if (!_file.Open(path)) {
        WLAN_LOG5("fopen %s error!", path);
        return false;
    }
    return true;
}

int ScriptFile::Commit(const ScriptText& script) {
    FILE* out = _file.Stream();
    if (out == nullptr) return -1;
    const std::string& text = script.Text();
    if (fwrite(text.data(), 1, text.size(), out) != text.size()) {
        WLAN_LOG5("write %s error!", _path.c_str());
        return -1;
    }
    struct stat st;
    if (fstat(fileno(out), &st) != 0) {
        WLAN_LOG5("stat %s error!", _path.c_str());
        return -1;
    }
    if (fchmod(fileno(out), (st.st_mode & 07777) | S_IXUSR | S_IXGRP) != 0) {
        WLAN_LOG5("chmod %s error!", _path.c_str());
        return -1;
    }
    if (!_file.Commit()) {
        WLAN_LOG5("write %s error!", _path.c_str());
        return -1;
    }
    return 0;
}
