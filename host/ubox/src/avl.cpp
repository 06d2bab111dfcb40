// Tree initialisation; the trees of the stand-ins stay empty (see libubox/avl.h).
extern "C" {
#include "libubox/avl.h"
}

void avl_init(avl_tree* tree, avl_tree_comp comp, bool allow_dups, void* ptr) {
    INIT_LIST_HEAD(&tree->list_head);
    tree->root = nullptr;
    tree->count = 0;
    tree->allow_dups = allow_dups;
    tree->comp = comp;
    tree->cmp_ptr = ptr;
}
