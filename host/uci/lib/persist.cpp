// Loading packages, saving their changes as deltas and committing them to the package files.
//
// Locks: a reader holds a shared lock on the package file while it reads the file and its
// delta; a commit holds an exclusive lock on the package file from reading it until the new
// file is in place and the delta is emptied; saving appends to the delta under an exclusive
// lock on the delta file. So a reader sees either the old file with its delta or the new file.
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>

#include "uci_internal.h"

namespace uci_host {
namespace {

// Reads the package file and the saved changes into a new package (not yet in any context).
// *changes tells whether the delta file held anything.
int ReadPackage(uci_context* ctx, const char* name, const std::string& path,
                const LockedFile& config, LockedFile* delta, int delta_flags, int delta_lock,
                uci_package** out, bool* changes) {
    *changes = false;
    std::string text;
    if (!config.ReadAll(&text)) return UCI_ERR_IO;
    uci_package* p = NewPackage(name);
    if (p == nullptr) return UCI_ERR_MEM;
    p->ctx = ctx;
    p->has_delta = true;
    p->path = strdup(path.c_str());
    int rc = p->path != nullptr ? ImportConfig(text, p) : UCI_ERR_MEM;
    if (rc == UCI_OK) {
        int opened = delta->Open(DeltaPath(ctx, name), delta_flags, delta_lock);
        if (opened == UCI_OK) {
            rc = delta->ReadAll(&text) ? UCI_OK : UCI_ERR_IO;
            if (rc == UCI_OK) ApplyDeltas(text, p);
            *changes = !text.empty();
        } else if (opened != UCI_ERR_NOTFOUND) {
            rc = opened;
        }
    }
    if (rc != UCI_OK) {
        FreePackage(p);
        return rc;
    }
    *out = p;
    return UCI_OK;
}

void AddToContext(uci_context* ctx, uci_package* p) {
    if (uci_element* old = FindElement(&ctx->root, p->e.name)) FreePackage(uci_to_package(old));
    ListAppend(&ctx->root, &p->e.list);
}

int CommitMerged(uci_context* ctx, uci_package** package) {
    uci_package* old = *package;
    if (!uci_list_empty(&old->delta)) {
        int rc = uci_save(ctx, old);
        if (rc != UCI_OK) return rc;
    }
    std::string path = old->path;
    LockedFile config;
    int rc = config.Open(path, O_RDONLY | O_CREAT, LOCK_EX);
    if (rc != UCI_OK) return rc;
    LockedFile delta;
    uci_package* fresh = nullptr;
    bool changes = false;
    rc = ReadPackage(ctx, old->e.name, path, config, &delta, O_RDWR, LOCK_EX, &fresh, &changes);
    if (rc != UCI_OK) return rc;
    // Without saved changes the file is left as it is. The delta is emptied only once the new
    // file is in place, so a failed write loses nothing.
    if (changes && (!ReplaceFile(path, ExportConfig(fresh)) || !delta.Truncate())) {
        FreePackage(fresh);
        return UCI_ERR_IO;
    }
    FreePackage(old);
    AddToContext(ctx, fresh);
    *package = fresh;
    return UCI_OK;
}

int CommitOverwrite(uci_context* ctx, uci_package* p) {
    LockedFile config;
    int rc = config.Open(p->path, O_RDONLY | O_CREAT, LOCK_EX);
    if (rc != UCI_OK) return rc;
    if (!ReplaceFile(p->path, ExportConfig(p))) return UCI_ERR_IO;
    LockedFile delta;
    if (delta.Open(DeltaPath(ctx, p->e.name), O_RDWR, LOCK_EX) == UCI_OK && !delta.Truncate())
        return UCI_ERR_IO;
    ClearDeltas(p);
    return UCI_OK;
}

}  // namespace
}  // namespace uci_host

using uci_host::Fail;

UCI_PUBLIC int uci_load(uci_context* ctx, const char* name, uci_package** package) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (!uci_host::ValidPackageName(name)) return Fail(ctx, UCI_ERR_INVAL);
    std::string path = uci_host::ConfigPath(ctx, name);
    uci_host::LockedFile config;
    int rc = config.Open(path, O_RDONLY, LOCK_SH);
    if (rc != UCI_OK) return Fail(ctx, rc);
    uci_host::LockedFile delta;
    uci_package* p = nullptr;
    bool changes = false;
    rc = uci_host::ReadPackage(ctx, name, path, config, &delta, O_RDONLY, LOCK_SH, &p, &changes);
    if (rc != UCI_OK) return Fail(ctx, rc);
    uci_host::AddToContext(ctx, p);
    if (package != nullptr) *package = p;
    return Fail(ctx, UCI_OK);
}

UCI_PUBLIC int uci_unload(uci_context* ctx, uci_package* p) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (p == nullptr) return Fail(ctx, UCI_ERR_INVAL);
    uci_host::FreePackage(p);
    return Fail(ctx, UCI_OK);
}

UCI_PUBLIC int uci_save(uci_context* ctx, uci_package* p) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (p == nullptr) return Fail(ctx, UCI_ERR_INVAL);
    if (!p->has_delta || uci_list_empty(&p->delta)) return Fail(ctx, UCI_OK);
    if (!uci_host::MakeDirectories(ctx->savedir, UCI_DIRMODE)) return Fail(ctx, UCI_ERR_IO);
    uci_host::LockedFile delta;
    int rc =
        delta.Open(uci_host::DeltaPath(ctx, p->e.name), O_WRONLY | O_CREAT | O_APPEND, LOCK_EX);
    if (rc != UCI_OK) return Fail(ctx, rc == UCI_ERR_NOTFOUND ? UCI_ERR_IO : rc);
    if (!delta.Append(uci_host::FormatDeltas(p))) return Fail(ctx, UCI_ERR_IO);
    uci_host::ClearDeltas(p);
    return Fail(ctx, UCI_OK);
}

UCI_PUBLIC int uci_revert(uci_context* ctx, uci_ptr* ptr) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (ptr == nullptr || ptr->p == nullptr) return Fail(ctx, UCI_ERR_INVAL);
    int rc = uci_save(ctx, ptr->p);
    if (rc != UCI_OK) return rc;
    std::string name = ptr->p->e.name;
    {
        uci_host::LockedFile delta;
        rc = delta.Open(uci_host::DeltaPath(ctx, name.c_str()), O_RDWR, LOCK_EX);
        if (rc == UCI_ERR_NOTFOUND) {
            rc = UCI_OK;  // nothing saved, nothing to drop
        } else if (rc == UCI_OK) {
            std::string text;
            if (!delta.ReadAll(&text)) return Fail(ctx, UCI_ERR_IO);
            std::string kept = uci_host::FilterDeltas(text, name.c_str(), ptr->section,
                                                      ptr->section ? ptr->option : nullptr);
            if (kept != text && (!delta.Truncate() || !delta.Append(kept)))
                return Fail(ctx, UCI_ERR_IO);
        }
    }
    if (rc != UCI_OK) return Fail(ctx, rc);
    // The element pointers of the old package go with it.
    ptr->s = nullptr;
    ptr->o = nullptr;
    ptr->last = nullptr;
    return uci_load(ctx, name.c_str(), &ptr->p);
}

UCI_PUBLIC int uci_commit(uci_context* ctx, uci_package** package, bool overwrite) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (package == nullptr || *package == nullptr || (*package)->path == nullptr)
        return Fail(ctx, UCI_ERR_INVAL);
    int rc =
        overwrite ? uci_host::CommitOverwrite(ctx, *package) : uci_host::CommitMerged(ctx, package);
    return Fail(ctx, rc);
}
