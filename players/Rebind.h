#pragma once
// Where a copy of a match finds what the original's pointers named: the same footballer (same
// side, same squad place), the same side, the copy itself. After a copy every object of the
// match that keeps a pointer into it rebinds the pointer through one of these; a pointer to
// something outside the match stays as it is.
#include "players/OutfieldPlayer.h"
#include "players/Play.h"

namespace flikka {

class Rebind {
public:
    Rebind(const CPlay& from, CPlay& to) : from_(from), to_(to) {}

    CPlay* operator()(const CPlay* p) const { return p == &from_ ? &to_ : const_cast<CPlay*>(p); }
    CTeam* operator()(const CTeam* t) const {
        if (t == &from_.home) return &to_.home;
        if (t == &from_.away) return &to_.away;
        return const_cast<CTeam*>(t);
    }
    CPlayer* operator()(const CPlayer* p) const {
        if (p == nullptr) return nullptr;
        for (const auto& [was, is] : {std::pair{&from_.home, &to_.home}, std::pair{&from_.away, &to_.away}}) {
            const int i = was->indexOf(p);
            if (i >= 0 && static_cast<std::size_t>(i) < is->size()) return is->player(static_cast<std::size_t>(i));
        }
        return const_cast<CPlayer*>(p);
    }
    COutfieldPlayer* operator()(const COutfieldPlayer* p) const {
        return p == nullptr ? nullptr : (*this)(static_cast<const CPlayer*>(p))->outfield();
    }

    // Rebinds a pointer in place.
    template <class T>
    void in(T*& p) const {
        p = (*this)(p);
    }

private:
    const CPlay& from_;
    CPlay& to_;
};

}  // namespace flikka
