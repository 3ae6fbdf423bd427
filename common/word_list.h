// WordList: an ordered, owning sequence held as a doubly linked list.
//
// The list owns its items (by value, inside its nodes). Duplicates are
// allowed and nothing is sorted. Insertion reports -1 and leaves the list
// unchanged when no memory is left. Removal walks offer each item with its
// current position: in a walk from the front the position does not advance
// past an item just removed.
//
// As a debugging aid, a node or list that is released has its count
// overwritten with 0xDEADBEEF and its links pointed at a constant text, so
// that a use after release is recognisable at once in a debugger.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

namespace prismet {

// The text that released links point at. Never shown.
extern const char kReleasedLinkText[];

template <typename T>
class WordList {
 public:
  class Node {
   public:
    T& item() { return item_; }
    const T& item() const { return item_; }
    Node* next() const { return next_; }
    Node* prev() const { return prev_; }

   private:
    friend class WordList;
    explicit Node(T&& item) : item_(std::move(item)) {}
    T item_;
    Node* prev_ = nullptr;
    Node* next_ = nullptr;
  };

  WordList() = default;
  WordList(const WordList&) = delete;
  WordList& operator=(const WordList&) = delete;
  ~WordList() {
    clear();
    poison(&count_, &first_, &last_);
  }

  int count() const { return count_; }
  Node* first() const { return first_; }
  Node* last() const { return last_; }

  // Inserts at the front or the back; returns the new count, or -1 when no
  // memory is left (the list is then unchanged).
  int push_front(T item) {
    Node* node = new (std::nothrow) Node(std::move(item));
    if (node == nullptr) return -1;
    node->next_ = first_;
    if (first_ != nullptr)
      first_->prev_ = node;
    else
      last_ = node;
    first_ = node;
    return ++count_;
  }
  int push_back(T item) {
    Node* node = new (std::nothrow) Node(std::move(item));
    if (node == nullptr) return -1;
    node->prev_ = last_;
    if (last_ != nullptr)
      last_->next_ = node;
    else
      first_ = node;
    last_ = node;
    return ++count_;
  }

  // The item at `position`, counted from 0 at the front. The caller keeps
  // the position below count().
  T& at(int position) const {
    Node* node = first_;
    while (position-- > 0) node = node->next_;
    return node->item_;
  }

  // For tests only: the first item, from the front or from the back, that
  // `accept(item, position, context)` accepts; nullptr when none does.
  template <typename Predicate, typename Context>
  T* find_forward(Predicate accept, Context&& context) const {
    int position = 0;
    for (Node* node = first_; node != nullptr; node = node->next_, ++position)
      if (accept(node->item_, position, context)) return &node->item_;
    return nullptr;
  }
  template <typename Predicate, typename Context>
  T* find_backward(Predicate accept, Context&& context) const {
    int position = count_ - 1;
    for (Node* node = last_; node != nullptr; node = node->prev_, --position)
      if (accept(node->item_, position, context)) return &node->item_;
    return nullptr;
  }

  // Removal walks: `take(item, position, context)` returns true to take the
  // item, which is then released together with its node. Returns the count
  // that remains.
  template <typename Callback, typename Context>
  int remove_forward(Callback take, Context&& context) {
    int position = 0;
    for (Node* node = first_; node != nullptr;) {
      Node* next = node->next_;
      if (take(node->item_, position, context))
        unlink_and_release(node);
      else
        ++position;
      node = next;
    }
    return count_;
  }
  template <typename Callback, typename Context>
  int remove_backward(Callback take, Context&& context) {
    int position = count_ - 1;
    for (Node* node = last_; node != nullptr; --position) {
      Node* prev = node->prev_;
      if (take(node->item_, position, context)) unlink_and_release(node);
      node = prev;
    }
    return count_;
  }

  // Removes and releases every item; the list stays usable.
  void clear() {
    while (first_ != nullptr) unlink_and_release(first_);
  }

 private:
  static void poison(int* count, Node** link_a, Node** link_b) {
    // Volatile stores: the compiler must not drop them as dead before the
    // memory is released.
    *static_cast<volatile std::uint32_t*>(static_cast<void*>(count)) = 0xDEADBEEFu;
    Node* const released = reinterpret_cast<Node*>(const_cast<char*>(kReleasedLinkText));
    *static_cast<Node* volatile*>(link_a) = released;
    *static_cast<Node* volatile*>(link_b) = released;
  }

  void unlink_and_release(Node* node) {
    if (node->prev_ != nullptr)
      node->prev_->next_ = node->next_;
    else
      first_ = node->next_;
    if (node->next_ != nullptr)
      node->next_->prev_ = node->prev_;
    else
      last_ = node->prev_;
    --count_;
    Node* const released = reinterpret_cast<Node*>(const_cast<char*>(kReleasedLinkText));
    *static_cast<Node* volatile*>(&node->prev_) = released;
    *static_cast<Node* volatile*>(&node->next_) = released;
    delete node;
  }

  int count_ = 0;
  Node* first_ = nullptr;
  Node* last_ = nullptr;
};

}  // namespace prismet
