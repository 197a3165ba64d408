// Scoped holders of the OS support library's container locks.
#pragma once

#include "os_support.h"

namespace zel {

class ListLock {
  public:
    explicit ListLock(adt_dlist_t *list) : list_(list) { adt_dlist_lock(list_); }
    ~ListLock() { adt_dlist_unlock(list_); }
    ListLock(const ListLock &) = delete;
    ListLock &operator=(const ListLock &) = delete;

  private:
    adt_dlist_t *list_;
};

class HashLock {
  public:
    explicit HashLock(hash_table_t *table) : table_(table) { hash_lock(table_); }
    ~HashLock() { hash_unlock(table_); }
    HashLock(const HashLock &) = delete;
    HashLock &operator=(const HashLock &) = delete;

  private:
    hash_table_t *table_;
};

}  // namespace zel
