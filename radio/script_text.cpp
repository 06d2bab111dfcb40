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

ScriptFile::~ScriptFile() {
    if (_file != nullptr) fclose(_file);
}

bool ScriptFile::Open(const char* path) {
    _path = path;
    _file = fopen(path, "w");
    if (_file == nullptr) {
        __wlan_log(5, "fopen %s error!", path);
        return false;
    }
    return true;
}

int ScriptFile::Commit(const ScriptText& script) {
    if (_file == nullptr) return -1;
    fwrite(script.Text().data(), 1, script.Text().size(), _file);
    fclose(_file);
    _file = nullptr;

    struct stat st;
    if (stat(_path.c_str(), &st) != 0) {
        __wlan_log(5, "stat %s error!", _path.c_str());
        return -1;
    }
    if (chmod(_path.c_str(), (st.st_mode & 07777) | S_IXUSR | S_IXGRP) != 0) {
        __wlan_log(5, "chmod %s error!", _path.c_str());
        return -1;
    }
    return 0;
}
