/*
 * Balanced trees whose nodes are embedded in the elements, with every node also on a list in
 * key order. libubus keeps the objects of a connection in one (ubus_context::objects) and every
 * ubus_object starts with its node.
 *
 * The structures are laid out as the device's libubox lays them out. Of the operations only
 * tree initialisation is provided: the in-process bus keeps its objects by itself, so the trees
 * it embeds stay empty.
 */
#ifndef _AVL_H
#define _AVL_H

#include <stdbool.h>
#include <stddef.h>

#include "list.h"

struct avl_node {
    /* Position in the tree's key-ordered list; first, so that a list entry is the node. */
    struct list_head list;

    struct avl_node* parent;
    struct avl_node* left;
    struct avl_node* right;

    const void* key;

    /* -1, 0 or +1 */
    signed char balance;

    /* Whether the node is the first of several with the same key. */
    bool leader;
};

/* Compares two keys like strcmp; the third argument is the tree's cmp_ptr. */
typedef int (*avl_tree_comp)(const void* k1, const void* k2, void* ptr);

struct avl_tree {
    struct list_head list_head;

    struct avl_node* root;
    unsigned int count;

    bool allow_dups;

    avl_tree_comp comp;
    void* cmp_ptr;
};

enum avl_find_mode { AVL_FIND_EQUAL, AVL_FIND_LESSEQUAL, AVL_FIND_GREATEREQUAL };

#define AVL_TREE_INIT(_name, _comp, _allow_dups, _cmp_ptr)                                      \
    {                                                                                           \
        .list_head = LIST_HEAD_INIT(_name.list_head), .comp = _comp, .allow_dups = _allow_dups, \
        .cmp_ptr = _cmp_ptr                                                                     \
    }

#define AVL_TREE(_name, _comp, _allow_dups, _cmp_ptr) \
    struct avl_tree _name = AVL_TREE_INIT(_name, _comp, _allow_dups, _cmp_ptr)

/* An empty tree ordered by `comp`. */
void avl_init(struct avl_tree* tree, avl_tree_comp comp, bool allow_dups, void* ptr);

static inline bool avl_is_first(struct avl_tree* tree, struct avl_node* node) {
    return tree->list_head.next == &node->list;
}

static inline bool avl_is_last(struct avl_tree* tree, struct avl_node* node) {
    return tree->list_head.prev == &node->list;
}

static inline bool avl_is_empty(struct avl_tree* tree) { return tree->count == 0; }

#endif
