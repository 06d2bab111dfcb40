/*
 * uci.h - configuration store of the development host (stand-in for the device's libuci).
 *
 * Same names, types and signatures as the device library for the part of the API that the
 * Wi-Fi manager and its hosts use. Packages live in UCI_CONFDIR/NAME in uci file syntax;
 * uncommitted changes are kept as delta files in UCI_SAVEDIR/NAME until they are committed.
 * One context must not be used by two threads at once.
 */
#ifndef __LIBUCI_H
#define __LIBUCI_H

#ifdef __cplusplus
extern "C" {
#endif

#include <stdbool.h>
#include <stddef.h>
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
    UCI_TYPE_PLUGIN = 9,
};

enum uci_option_type {
    UCI_TYPE_STRING = 0,
    UCI_TYPE_LIST = 1,
};

struct uci_element {
    struct uci_list list;
    enum uci_type type;
    char* name;
};

struct uci_context {
    /* loaded packages */
    struct uci_list root;

    char* confdir;
    char* savedir;

    /* code of the last error */
    int err;
};

struct uci_package {
    struct uci_element e;
    struct uci_list sections;
    struct uci_context* ctx;
    bool has_delta;
    char* path;

    /* private: */
    int n_section;
    struct uci_list delta;
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

#define uci_type_delta UCI_TYPE_DELTA
#define uci_type_package UCI_TYPE_PACKAGE
#define uci_type_section UCI_TYPE_SECTION
#define uci_type_option UCI_TYPE_OPTION

#define uci_to_delta(ptr) container_of(ptr, struct uci_delta, e)
#define uci_to_package(ptr) container_of(ptr, struct uci_package, e)
#define uci_to_section(ptr) container_of(ptr, struct uci_section, e)
#define uci_to_option(ptr) container_of(ptr, struct uci_option, e)

#ifdef __cplusplus
}
#endif

#endif /* __LIBUCI_H */
