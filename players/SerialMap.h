#pragma once
// A map keyed by footballer for the few entries a squad has: a flat list kept in creation
// order, so walking it meets the footballers in the order a std::map with BySerial would, while
// a look-up is a short scan of pointers instead of a walk through tree nodes.
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace flikka {

template <class Key, class Value>
class SerialMap {
public:
    using value_type = std::pair<const Key*, Value>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    iterator begin() { return items_.begin(); }
    iterator end() { return items_.end(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    void clear() { items_.clear(); }

    // Every footballer has his own serial, so the same footballer is the same pointer. The team
    // AI asks for its footballers in squad order, often twice in a row, so the scan starts at the
    // last entry found and the one after it (a remembered place only; not for use across threads).
    iterator find(const Key* k) { return items_.begin() + indexOf(k); }
    const_iterator find(const Key* k) const { return items_.begin() + indexOf(k); }
    std::size_t count(const Key* k) const { return find(k) == end() ? 0 : 1; }

    Value& operator[](const Key* k) {
        auto it = find(k);
        if (it != items_.end()) return it->second;
        auto at = items_.begin();
        while (at != items_.end() && at->first->serial < k->serial) ++at;
        return items_.insert(at, value_type{k, Value{}})->second;
    }
    const Value& at(const Key* k) const {
        const auto it = find(k);
        if (it == items_.end()) throw std::out_of_range("SerialMap::at");
        return it->second;
    }
    // After a copy of the match: each key becomes to(key); the order stays (serials are copied too).
    template <class F>
    void rebindKeys(F to) {
        for (auto& item : items_) item.first = to(item.first);
    }
    std::size_t erase(const Key* k) {
        const auto it = find(k);
        if (it == items_.end()) return 0;
        items_.erase(it);
        return 1;
    }

private:
    // Position of k, or size() when absent.
    std::size_t indexOf(const Key* k) const {
        const std::size_t n = items_.size();
        if (hint_ < n && items_[hint_].first == k) return hint_;
        if (hint_ + 1 < n && items_[hint_ + 1].first == k) return ++hint_;
        for (std::size_t i = 0; i < n; ++i) {
            if (items_[i].first == k) return hint_ = i;
        }
        return n;
    }

    std::vector<value_type> items_;
    mutable std::size_t hint_ = 0;
};

}  // namespace flikka
