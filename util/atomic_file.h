#ifndef WLAN_UTIL_ATOMIC_FILE_H
#define WLAN_UTIL_ATOMIC_FILE_H

#include <stdio.h>

#include <string>

// Rewrites a file whole so that a power loss leaves either the old or the new content: the new
// content goes to a temporary file in the same directory, is flushed and synced, then renamed
// over the target, and the directory is synced so that the rename survives a power cut too. A
// symbolic link is followed, so the link stays and its target is replaced.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile() { Abort(); }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Starts a rewrite of path. False when the temporary file cannot be created.
    bool Open(const char* path);
    FILE* Stream() { return stream_; }
    // Flushes, syncs and closes the new content without replacing the target yet, so that
    // several files can be made ready before any of them is replaced. False (new content
    // dropped, target untouched) on any failure.
    bool Sync();
    // Syncs (unless done) and renames over the target. False (old file kept) on any failure.
    bool Commit();
    // Drops the new content; the target is untouched.
    void Abort();

private:
    FILE* stream_ = nullptr;
    std::string target_;
    std::string temp_;
};

// The file a path names after following symbolic links (the path itself when it is no link or
// the link is dangling: then its final target).
std::string resolve_link_target(const char* path);

// Reads a whole file. False when it cannot be opened.
bool read_whole_file(const char* path, std::string* content);

// Replaces the file's content atomically, as AtomicFile does.
bool replace_file(const char* path, const std::string& content);

#endif
