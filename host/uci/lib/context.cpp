// Contexts, error texts and the directories a context works on.
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>

#include "uci_internal.h"

namespace {

const char* const kErrorTexts[] = {
    "Success",   "Out of memory", "Invalid argument", "Entry not found",
    "I/O error", "Parse error",   "Duplicate entry",  "Unknown error",
};

const char* ErrorText(const uci_context* ctx) {
    int err = ctx != nullptr ? ctx->err : UCI_ERR_INVAL;
    if (err < 0 || err >= UCI_ERR_LAST) err = UCI_ERR_UNKNOWN;
    return kErrorTexts[err];
}

std::string ErrorLine(const uci_context* ctx, const char* prefix) {
    std::string line = prefix != nullptr ? std::string(prefix) + ": " : std::string();
    return line + ErrorText(ctx);
}

int ReplaceDir(uci_context* ctx, char** field, const char* dir) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (dir == nullptr || *dir == '\0') return uci_host::Fail(ctx, UCI_ERR_INVAL);
    char* copy = strdup(dir);
    if (copy == nullptr) return uci_host::Fail(ctx, UCI_ERR_MEM);
    free(*field);
    *field = copy;
    return uci_host::Fail(ctx, UCI_OK);
}

}  // namespace

UCI_PUBLIC uci_context* uci_alloc_context(void) {
    uci_context* ctx = static_cast<uci_context*>(calloc(1, sizeof(uci_context)));
    if (ctx == nullptr) return nullptr;
    uci_host::ListInit(&ctx->root);
    uci_host::ListInit(&ctx->backends);
    uci_host::ListInit(&ctx->delta_path);
    ctx->flags = static_cast<uci_flags>(UCI_FLAG_STRICT | UCI_FLAG_SAVED_DELTA);
    ctx->confdir = strdup(UCI_CONFDIR);
    ctx->savedir = strdup(UCI_SAVEDIR);
    if (ctx->confdir == nullptr || ctx->savedir == nullptr) {
        uci_free_context(ctx);
        return nullptr;
    }
    return ctx;
}

UCI_PUBLIC void uci_free_context(uci_context* ctx) {
    if (ctx == nullptr) return;
    uci_element* e;
    uci_element* tmp;
    uci_foreach_element_safe(&ctx->root, tmp, e) uci_host::FreePackage(uci_to_package(e));
    free(ctx->confdir);
    free(ctx->savedir);
    free(ctx);
}

UCI_PUBLIC void uci_perror(uci_context* ctx, const char* str) {
    fprintf(stderr, "%s\n", ErrorLine(ctx, str).c_str());
}

UCI_PUBLIC void uci_get_errorstr(uci_context* ctx, char** dest, const char* str) {
    if (dest == nullptr) {
        uci_perror(ctx, str);
        return;
    }
    *dest = strdup(ErrorLine(ctx, str).c_str());
}

UCI_PUBLIC int uci_set_confdir(uci_context* ctx, const char* dir) {
    return ReplaceDir(ctx, ctx != nullptr ? &ctx->confdir : nullptr, dir);
}

UCI_PUBLIC int uci_set_savedir(uci_context* ctx, const char* dir) {
    return ReplaceDir(ctx, ctx != nullptr ? &ctx->savedir : nullptr, dir);
}

UCI_PUBLIC int uci_list_configs(uci_context* ctx, char*** list) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (list == nullptr) return uci_host::Fail(ctx, UCI_ERR_INVAL);
    DIR* dir = opendir(ctx->confdir);
    if (dir == nullptr) return uci_host::Fail(ctx, UCI_ERR_NOTFOUND);
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        if (!uci_host::ValidPackageName(entry->d_name)) continue;
        struct stat st;
        std::string path = uci_host::ConfigPath(ctx, entry->d_name);
        if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());

    // One block: the pointer array, then the names, so that free(*list) releases everything.
    size_t size = (names.size() + 1) * sizeof(char*);
    for (const std::string& n : names) size += n.size() + 1;
    char** block = static_cast<char**>(calloc(1, size));
    if (block == nullptr) return uci_host::Fail(ctx, UCI_ERR_MEM);
    char* text = reinterpret_cast<char*>(block + names.size() + 1);
    for (size_t i = 0; i < names.size(); ++i) {
        block[i] = text;
        memcpy(text, names[i].c_str(), names[i].size() + 1);
        text += names[i].size() + 1;
    }
    *list = block;
    return uci_host::Fail(ctx, UCI_OK);
}
