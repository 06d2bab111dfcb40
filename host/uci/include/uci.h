/*
 * uci.h - configuration store of the development host (stand-in for the device's libuci).
 *
 * Same names, types and signatures as the device library for the part of the API that the
 * Wi-Fi manager and its hosts use, and its structures laid out member for member as the
 * device's (members this store has no use for stay zero or empty). Packages live in
 * UCI_CONFDIR/NAME in uci file syntax;
 * uncommitted changes are kept as delta files in UCI_SAVEDIR/NAME until they are committed.
 * One context must not be used by two threads at once.
 */
#ifndef __LIBUCI_H
#define __LIBUCI_H

#ifdef __cplusplus
extern "C" {
#endif

#include <setjmp.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#define UCI_CONFDIR "/etc/config"
#define UCI_SAVEDIR "/tmp/.uci"
#define UCI_DIRMODE 0700
#define UCI_FILEMODE 0600

enum {
    UCI_OK = 0,
    UCI_ERR_MEM,
    UCI_ERR_INVAL,
    UCI_ERR_NOTFOUND,
    UCI_ERR_IO,
    UCI_ERR_PARSE,
    UCI_ERR_DUPLICATE,
    UCI_ERR_UNKNOWN,
    UCI_ERR_LAST
};

struct uci_list {
    struct uci_list* next;
    struct uci_list* prev;
};

struct uci_ptr;
struct uci_element;
struct uci_package;
struct uci_section;
struct uci_option;
struct uci_delta;
struct uci_context;
struct uci_backend;
struct uci_parse_option;
struct uci_parse_context;

enum uci_type {
    UCI_TYPE_UNSPEC = 0,
    UCI_TYPE_DELTA = 1,
    UCI_TYPE_PACKAGE = 2,
    UCI_TYPE_SECTION = 3,
    UCI_TYPE_OPTION = 4,
    UCI_TYPE_PATH = 5,
    UCI_TYPE_BACKEND = 6,
    UCI_TYPE_ITEM = 7,
    UCI_TYPE_HOOK = 8,
};

enum uci_option_type {
    UCI_TYPE_STRING = 0,
    UCI_TYPE_LIST = 1,
};

enum uci_flags {
    UCI_FLAG_STRICT = (1 << 0),      /* strict mode for the parser */
    UCI_FLAG_PERROR = (1 << 1),      /* print parser error messages */
    UCI_FLAG_EXPORT_NAME = (1 << 2), /* when exporting, name unnamed sections */
    UCI_FLAG_SAVED_DELTA = (1 << 3), /* store the saved delta in memory as well */
};

struct uci_element {
    struct uci_list list;
    enum uci_type type;
    char* name;
};

struct uci_backend {
    struct uci_element e;
    char** (*list_configs)(struct uci_context* ctx);
    struct uci_package* (*load)(struct uci_context* ctx, const char* name);
    void (*commit)(struct uci_context* ctx, struct uci_package** p, bool overwrite);

    /* private: */
    const void* ptr;
    void* priv;
};

struct uci_context {
    /* loaded packages */
    struct uci_list root;

    /* parser context, for error handling only (unused here) */
    struct uci_parse_context* pctx;

    /* backend for import and export (none here: there is only the file store) */
    struct uci_backend* backend;
    struct uci_list backends;

    /* runtime flags */
    enum uci_flags flags;

    char* confdir;
    char* savedir;

    /* search path for delta files (empty here: only savedir is read) */
    struct uci_list delta_path;

    /* private: */
    /* code of the last error */
    int err;
    const char* func;
    jmp_buf trap;
    bool internal, nested;
    char* buf;
    int bufsz;
};

struct uci_package {
    struct uci_element e;
    struct uci_list sections;
    struct uci_context* ctx;
    bool has_delta;
    char* path;

    /* private: */
    struct uci_backend* backend;
    void* priv;
    int n_section;
    struct uci_list delta;
    struct uci_list saved_delta;
};

struct uci_section {
    struct uci_element e;
    struct uci_list options;
    struct uci_package* package;
    bool anonymous;
    char* type;
};

struct uci_option {
    struct uci_element e;
    struct uci_section* section;
    enum uci_option_type type;
    union {
        struct uci_list list;
        char* string;
    } v;
};

enum uci_command {
    UCI_CMD_ADD,
    UCI_CMD_REMOVE,
    UCI_CMD_CHANGE,
    UCI_CMD_RENAME,
    UCI_CMD_REORDER,
    UCI_CMD_LIST_ADD,
    UCI_CMD_LIST_DEL,
    __UCI_CMD_MAX,
    __UCI_CMD_LAST = __UCI_CMD_MAX - 1
};

struct uci_delta {
    struct uci_element e;
    enum uci_command cmd;
    char* section;
    char* value;
};

struct uci_ptr {
    enum uci_type target;
    enum {
        UCI_LOOKUP_DONE = (1 << 0),
        UCI_LOOKUP_COMPLETE = (1 << 1),
        UCI_LOOKUP_EXTENDED = (1 << 2),
    } flags;

    struct uci_package* p;
    struct uci_section* s;
    struct uci_option* o;
    struct uci_element* last;

    const char* package;
    const char* section;
    const char* option;
    const char* value;
};

struct uci_parse_option {
    const char* name;
    enum uci_option_type type;
};

/* Allocates a context for UCI_CONFDIR and UCI_SAVEDIR; NULL when out of memory. */
extern struct uci_context* uci_alloc_context(void);

/* Frees the context and every package loaded into it. */
extern void uci_free_context(struct uci_context* ctx);

/* Prints "STR: MESSAGE" (or "MESSAGE" without STR) for the last error to stderr. */
extern void uci_perror(struct uci_context* ctx, const char* str);

/* Like uci_perror, but stores the text in *dest (to be freed by the caller). */
extern void uci_get_errorstr(struct uci_context* ctx, char** dest, const char* str);

/* Loads package NAME from the config directory with its saved changes applied. */
extern int uci_load(struct uci_context* ctx, const char* name, struct uci_package** package);

/* Drops a loaded package from the context. */
extern int uci_unload(struct uci_context* ctx, struct uci_package* p);

/*
 * Splits "package[.section[.option]][=value]" and looks the elements up, loading the package
 * when needed. STR is modified and the strings in PTR point into it. With EXTENDED the section
 * may be given as "@type[index]" (a negative index counts from the end). A missing package
 * fails with UCI_ERR_NOTFOUND; a missing section or option returns UCI_OK without
 * UCI_LOOKUP_COMPLETE in ptr->flags.
 */
extern int uci_lookup_ptr(struct uci_context* ctx, struct uci_ptr* ptr, char* str, bool extended);

/*
 * Sets ptr->value: an option's value, or with no option a section's type (creating a named
 * section). An empty value deletes the element. The element is stored in ptr->last.
 */
extern int uci_set(struct uci_context* ctx, struct uci_ptr* ptr);

/* Deletes the section or option that PTR points to. */
extern int uci_delete(struct uci_context* ctx, struct uci_ptr* ptr);

/* Appends the package's unsaved changes to its delta file in the save directory. */
extern int uci_save(struct uci_context* ctx, struct uci_package* p);

/*
 * Writes the package file. Without OVERWRITE the file is read again and every saved change
 * (of any process) applied to it, and *p is replaced by the reloaded package; with OVERWRITE
 * the package in memory is written as it is. Either way the saved changes are dropped.
 */
extern int uci_commit(struct uci_context* ctx, struct uci_package** p, bool overwrite);

/*
 * Drops the saved changes of the package, section or option that PTR names (the package's
 * unsaved changes are saved first) and loads the package again into ptr->p.
 */
extern int uci_revert(struct uci_context* ctx, struct uci_ptr* ptr);

/* Lists the packages in the config directory; free(*list) releases the whole list. */
extern int uci_list_configs(struct uci_context* ctx, char*** list);

extern int uci_set_savedir(struct uci_context* ctx, const char* dir);
extern int uci_set_confdir(struct uci_context* ctx, const char* dir);

/* Whether STR is acceptable as an option value. */
extern bool uci_validate_text(const char* str);

#ifndef container_of
#define container_of(ptr, type, member) ((type*)((char*)ptr - offsetof(type, member)))
#endif

#define list_to_element(ptr) container_of(ptr, struct uci_element, list)

#define uci_foreach_element(_list, _ptr)                                \
    for (_ptr = list_to_element((_list)->next); &_ptr->list != (_list); \
         _ptr = list_to_element(_ptr->list.next))

#define uci_foreach_element_safe(_list, _tmp, _ptr)                                      \
    for (_ptr = list_to_element((_list)->next), _tmp = list_to_element(_ptr->list.next); \
         &_ptr->list != (_list); _ptr = _tmp, _tmp = list_to_element(_ptr->list.next))

#define uci_list_empty(list) ((list)->next == (list))

#define uci_type_backend UCI_TYPE_BACKEND
#define uci_type_delta UCI_TYPE_DELTA
#define uci_type_package UCI_TYPE_PACKAGE
#define uci_type_section UCI_TYPE_SECTION
#define uci_type_option UCI_TYPE_OPTION

#define uci_to_backend(ptr) container_of(ptr, struct uci_backend, e)
#define uci_to_delta(ptr) container_of(ptr, struct uci_delta, e)
#define uci_to_package(ptr) container_of(ptr, struct uci_package, e)
#define uci_to_section(ptr) container_of(ptr, struct uci_section, e)
#define uci_to_option(ptr) container_of(ptr, struct uci_option, e)

#ifdef __cplusplus
}
#endif

#endif /* __LIBUCI_H */
