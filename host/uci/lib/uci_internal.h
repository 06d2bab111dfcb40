// Internal interfaces of the configuration store shared by the library entry points.
#ifndef UCI_HOST_INTERNAL_H
#define UCI_HOST_INTERNAL_H

#include <uci.h>

#include <string>
#include <vector>

#define UCI_PUBLIC extern "C" __attribute__((visibility("default")))

namespace uci_host {

// Records ERR as the context's last error and returns it.
int Fail(uci_context* ctx, int err);

// ---- element tree (tree.cpp) -----------------------------------------------------------
void ListInit(uci_list* head);
void ListAppend(uci_list* head, uci_list* item);
void ListUnlink(uci_list* item);
uci_element* FindElement(uci_list* head, const char* name);

// Each returns nullptr when memory runs out.
uci_package* NewPackage(const char* name);
// NAME null makes an anonymous section with a generated unique name.
uci_section* AddSection(uci_package* p, const char* type, const char* name);
bool SetSectionType(uci_section* s, const char* type);
// Creates the option or replaces its value (a list becomes a plain string).
uci_option* SetOption(uci_section* s, const char* name, const char* value);
// Appends to a list option; an existing string option becomes a list holding it first.
uci_option* AddListValue(uci_section* s, const char* name, const char* value);

void FreePackage(uci_package* p);
void RemoveSection(uci_section* s);
void RemoveOption(uci_option* o);

// Pending changes of a package, in the order they were made.
bool AddDelta(uci_package* p, uci_command cmd, const char* section, const char* option,
              const char* value);
void ClearDeltas(uci_package* p);

// ---- names and values (validate.cpp) -----------------------------------------------------
bool ValidPackageName(const char* s);
bool ValidName(const char* s);  // section and option names
bool ValidType(const char* s);

// ---- file syntax (syntax.cpp) ------------------------------------------------------------
// Splits one line into words: unquoted, 'single' and "double" quoted parts join into one word,
// a backslash escapes the next character outside single quotes, "#" at a word start ends the
// line. False for a line that cannot be read (an open quote, a trailing backslash).
bool SplitWords(const std::string& line, std::vector<std::string>* words);
// The value in single quotes, a quote inside written as '\''.
std::string QuoteValue(const char* value);

// ---- package files and deltas (import.cpp, export.cpp, delta.cpp) ------------------------
// Adds the sections of a package file to P; lines that cannot be read are skipped.
int ImportConfig(const std::string& text, uci_package* p);
std::string ExportConfig(const uci_package* p);
// Applies the lines of a delta file to P; lines that cannot be read are skipped.
void ApplyDeltas(const std::string& text, uci_package* p);
std::string FormatDeltas(const uci_package* p);
// The lines of a delta file of PACKAGE without the changes of SECTION (null: every section) or
// of its OPTION (null: the section and all its options).
std::string FilterDeltas(const std::string& text, const char* package, const char* section,
                         const char* option);

// ---- files (files.cpp) -------------------------------------------------------------------
std::string ConfigPath(const uci_context* ctx, const char* package);
std::string DeltaPath(const uci_context* ctx, const char* package);

// A file descriptor holding an flock for as long as it lives.
class LockedFile {
public:
    LockedFile() = default;
    ~LockedFile();
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

    // Opens PATH and locks it (LOCK_SH or LOCK_EX). The lock is taken on the file that PATH
    // names once the lock is held, so a writer that replaced the file meanwhile is never
    // missed. Returns UCI_OK, UCI_ERR_NOTFOUND (no file and no O_CREAT) or UCI_ERR_IO.
    int Open(const std::string& path, int open_flags, int lock_op);
    int fd() const { return fd_; }
    bool ReadAll(std::string* out) const;
    bool Append(const std::string& text) const;
    bool Truncate() const;

private:
    int fd_ = -1;
};

// Replaces the file at PATH (following a symbolic link) with TEXT: a temporary file in the
// same directory, flushed to disk, then renamed over the target. The old file stays on failure.
bool ReplaceFile(const std::string& path, const std::string& text);
bool MakeDirectories(const std::string& path, int mode);

}  // namespace uci_host

#endif
