#include "match/TrajectoryHash.h"

#include "match/Match.h"

namespace flikka {

void TrajectoryHash::mixBytes(const void* data, unsigned size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (unsigned i = 0; i < size; ++i) hash_ = (hash_ ^ p[i]) * 1099511628211ULL;
}

void TrajectoryHash::add(const CMatch& m) {
    const CBall& b = m.ball;
    for (float f : {b.position.x, b.position.y, b.position.z, b.velocity.x, b.velocity.y, b.velocity.z, b.sideSpin,
                    b.topSpin, m.elapsed})
        mixFloat(f);
    mixInt(b.airborne ? 1 : 0);
    mixInt(m.state);
    mixInt(m.homeScore);
    mixInt(m.awayScore);
    for (const CTeam* t : {&m.home, &m.away}) {
        for (std::size_t i = 0; i < t->size(); ++i) {
            const CPlayer& p = *t->player(i);
            for (float f : {p.position.x, p.position.y, p.position.z, p.heading.x, p.heading.y, p.speed}) mixFloat(f);
            mixInt(p.direction);
            mixInt(p.travelDirection);
            mixInt(p.moveMode);
            mixInt(p.hasBall ? 1 : 0);
        }
    }
}

}  // namespace flikka
