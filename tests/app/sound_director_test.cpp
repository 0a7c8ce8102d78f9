// What the sound director plays for the match's events, through a fake device.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/SoundDirector.h"
#include "settings/ExtraSettings.h"
#include "match/Match.h"
#include "ui/Menu.h"

namespace flikka {
namespace {

class FakeAudio : public platform::Audio {
public:
    struct Played {
        std::string file;
        float volume, pan;
    };
    bool isActive = true;
    std::string unreadable;  // a file name this device cannot load
    std::vector<std::string> loaded;
    std::vector<Played> played;
    float loops[kLoopSlots] = {};
    std::string loopFile[kLoopSlots];

    bool active() const override { return isActive; }
    Effect load(const std::string& path) override {
        if (!unreadable.empty() && path.find(unreadable) != std::string::npos) return kNoEffect;
        loaded.push_back(path);
        return static_cast<Effect>(loaded.size() - 1);
    }
    void play(Effect e, float volume, float pan) override { played.push_back({name(e), volume, pan}); }
    void loop(int slot, Effect e, float volume) override {
        loopFile[slot] = name(e);
        loops[slot] = volume;
    }
    void setLoopVolume(int slot, float volume) override { loops[slot] = volume; }

    std::vector<std::string> files() const {
        std::vector<std::string> out;
        for (const Played& p : played) out.push_back(p.file);
        return out;
    }
    const Played* find(const std::string& file) const {
        for (const Played& p : played)
            if (p.file == file) return &p;
        return nullptr;
    }

private:
    std::string name(Effect e) const {
        if (e < 0 || static_cast<std::size_t>(e) >= loaded.size()) return "?";
        const std::string& p = loaded[static_cast<std::size_t>(e)];
        return p.substr(p.rfind('/') + 1);
    }
};

using Files = std::vector<std::string>;

class SoundDirectorTest : public ::testing::Test {
protected:
    SoundDirectorTest() : director(audio) {
        director.loadEffects();
        director.update(SoundScene::Match, volumes, kStep);
    }

    // One match step that did what `events` say.
    Files step(std::vector<MatchEvent> events) {
        audio.played.clear();
        match.events = std::move(events);
        director.afterMatchStep(match);
        director.update(SoundScene::Match, volumes, kStep);
        return audio.files();
    }
    // Steps with nothing happening, for `seconds`.
    void quiet(float seconds) {
        for (float t = 0; t < seconds; t += kStep) step({});
    }
    static MatchEvent kick(KickEventKind k, float strength) {
        return {.kind = MatchEventKind::Kick, .kickKind = k, .strength = strength};
    }
    static MatchEvent out(int restart, Vector3 where) {
        return {.kind = MatchEventKind::OutOfPlay, .restartKind = restart, .where = where};
    }

    FakeAudio audio;
    ExtraSettings volumes;
    CMatch match;
    SoundDirector director;
};

TEST_F(SoundDirectorTest, EveryEffectIsLoadedFromSfxAndTheMissingAreNamed) {
    EXPECT_EQ(audio.loaded.size(), kSfxCount);
    EXPECT_NE(std::find(audio.loaded.begin(), audio.loaded.end(), "sfx/whistle_long.wav"), audio.loaded.end());

    FakeAudio broken;
    broken.unreadable = "groan.wav";
    SoundDirector d(broken);
    EXPECT_EQ(d.loadEffects(), (std::vector<std::string>{"sfx/groan.wav"}));

    FakeAudio none;
    none.isActive = false;  // no device: nothing to load, nothing to report
    SoundDirector silent(none);
    EXPECT_TRUE(silent.loadEffects().empty());
    EXPECT_TRUE(none.loaded.empty());

    std::ostringstream err;
    ::setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto fallback = openAudioOrSilence(err);
    ::unsetenv("SDL_AUDIODRIVER");
    EXPECT_FALSE(fallback->active());
    const std::string line = err.str();
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
}

TEST_F(SoundDirectorTest, EventsMapToTheirSounds) {
    EXPECT_EQ(step({{.kind = MatchEventKind::Whistle, .restartKind = KICK_OFF}}), Files{"whistle_long.wav"});
    for (int restart : {THROW_IN, CORNER, GOAL_KICK}) {
        EXPECT_EQ(step({{.kind = MatchEventKind::Whistle, .restartKind = restart}}), Files{"whistle_short.wav"});
    }
    EXPECT_EQ(step({{.kind = MatchEventKind::HalfTime}}), Files{"whistle_half.wav"});
    EXPECT_EQ(step({{.kind = MatchEventKind::FullTime}}), Files{"whistle_full.wav"});
    EXPECT_EQ(step({{.kind = MatchEventKind::Net}, {.kind = MatchEventKind::KeeperCatch}}),
              (Files{"net.wav", "catch.wav"}));
    EXPECT_EQ(step({{.kind = MatchEventKind::Crossbar, .strength = 20}}), (Files{"crossbar.wav", "groan.wav"}));
    EXPECT_EQ(step({{.kind = MatchEventKind::Goal}}), Files{"goal_roar.wav"});
    // Silent: the throw's hands, a rolling ball's hop, the dive itself, possession.
    EXPECT_TRUE(step({kick(KickEventKind::Throw, 10),
                      {.kind = MatchEventKind::Bounce, .strength = 0.8f},
                      {.kind = MatchEventKind::KeeperDive},
                      {.kind = MatchEventKind::Possession}})
                    .empty());
    EXPECT_EQ(step({{.kind = MatchEventKind::Bounce, .strength = 6}}), Files{"bounce.wav"});

    // Kicks: a soft pass, a hard shot, louder with strength; the side of the pitch pans them.
    step({kick(KickEventKind::Pass, 8)});
    ASSERT_EQ(audio.files(), Files{"kick_soft.wav"});
    const float pass = audio.played[0].volume;
    MatchEvent shot = kick(KickEventKind::Shot, 30);
    shot.where = {-35.0f, 40.0f, 0.0f};
    step({shot});
    ASSERT_EQ(audio.files(), Files{"kick_hard.wav"});
    EXPECT_GT(audio.played[0].volume, 2.0f * pass);
    EXPECT_LT(audio.played[0].pan, -0.3f);
}

TEST_F(SoundDirectorTest, TheCrowdGroansOnceAtAShotJustWide) {
    step({kick(KickEventKind::Shot, 25)});
    EXPECT_EQ(step({out(GOAL_KICK, {5.5f, 52.7f, 0.5f})}), Files{"groan.wav"});
    quiet(2.5f);
    // Far wide, far over, or no shot before it: no groan.
    step({kick(KickEventKind::Shot, 25)});
    EXPECT_TRUE(step({out(GOAL_KICK, {14.0f, 52.7f, 0.5f})}).empty());
    step({kick(KickEventKind::Shot, 25)});
    EXPECT_TRUE(step({out(CORNER, {2.0f, -52.7f, 9.0f})}).empty());
    quiet(3.5f);
    EXPECT_TRUE(step({out(CORNER, {4.0f, -52.7f, 1.0f})}).empty());
    // Off the post and out: one chance, one groan.
    step({kick(KickEventKind::Shot, 25)});
    EXPECT_EQ(step({{.kind = MatchEventKind::Post, .strength = 20}}), (Files{"post.wav", "groan.wav"}));
    EXPECT_TRUE(step({out(GOAL_KICK, {4.5f, 52.7f, 0.3f})}).empty());
    // Nor after a goal, when the ball ends behind the line.
    quiet(2.5f);
    step({kick(KickEventKind::Shot, 25)});
    step({{.kind = MatchEventKind::Goal}});
    EXPECT_TRUE(step({out(KICK_OFF, {1.0f, 53.0f, 0.5f})}).empty());
}

TEST_F(SoundDirectorTest, VolumesAndMuteActAtOnceEffectsAndCrowdApart) {
    step({kick(KickEventKind::Shot, 30), {.kind = MatchEventKind::Goal}});
    const float kickAt80 = audio.find("kick_hard.wav")->volume;
    const float roarAt60 = audio.find("goal_roar.wav")->volume;
    volumes.effectsVolume = 40;
    director.update(SoundScene::Match, volumes, kStep);
    step({kick(KickEventKind::Shot, 30), {.kind = MatchEventKind::Goal}});
    EXPECT_NEAR(audio.find("kick_hard.wav")->volume, kickAt80 / 2, 1e-5);
    EXPECT_NEAR(audio.find("goal_roar.wav")->volume, roarAt60, 1e-5);  // the crowd has its own
    volumes.crowdVolume = 0;
    director.update(SoundScene::Match, volumes, kStep);
    EXPECT_EQ(step({{.kind = MatchEventKind::Goal}, {.kind = MatchEventKind::Net}}), Files{"net.wav"});
    volumes.crowdVolume = 60;
    volumes.mute = true;
    director.update(SoundScene::Match, volumes, kStep);
    EXPECT_TRUE(step({kick(KickEventKind::Shot, 30), {.kind = MatchEventKind::Goal}}).empty());
    director.menuCue(MenuCue::Select);
    EXPECT_TRUE(audio.played.empty());
    quiet(1.0f);
    EXPECT_EQ(audio.loops[0], 0.0f);
    EXPECT_EQ(audio.loops[1], 0.0f);
    volumes.mute = false;
    director.update(SoundScene::Menu, volumes, kStep);
    director.menuCue(MenuCue::Move);
    director.menuCue(MenuCue::Select);
    EXPECT_EQ(audio.files(), (Files{"menu_move.wav", "menu_select.wav"}));
}

TEST_F(SoundDirectorTest, TheCrowdRisesNearGoalAndAfterAGoalAndFadesInTheMenu) {
    match.ball.position = {0.0f, 0.0f, 0.1f};
    quiet(3.0f);
    EXPECT_EQ(audio.loopFile[0], "crowd.wav");
    EXPECT_EQ(audio.loopFile[1], "crowd_excited.wav");
    EXPECT_GT(audio.loops[0], 0.1f);
    const float calm = director.crowdIntensity();
    EXPECT_LT(calm, 0.05f);
    match.ball.position = {2.0f, 48.0f, 0.1f};
    quiet(3.0f);
    const float near = director.crowdIntensity();
    EXPECT_GT(near, 0.4f);
    EXPECT_GT(audio.loops[1], audio.loops[0] * 0.5f);

    // A goal lifts the stand to its feet and keeps it there a while, back at the centre spot.
    match.ball.position = {0.0f, 0.0f, 0.1f};
    step({{.kind = MatchEventKind::Goal}});
    quiet(4.0f);
    EXPECT_GT(director.crowdIntensity(), 0.9f);
    quiet(8.0f);
    EXPECT_LT(director.crowdIntensity(), 0.3f);

    // Paused: the murmur goes on, quieter; in the menu it fades out.
    const float playing = audio.loops[0];
    for (int i = 0; i < 400; ++i) director.update(SoundScene::MatchPaused, volumes, kStep);
    EXPECT_LT(audio.loops[0], 0.7f * playing);
    EXPECT_GT(audio.loops[0], 0.3f * playing);
    for (int i = 0; i < 400; ++i) director.update(SoundScene::Menu, volumes, kStep);
    EXPECT_EQ(audio.loops[0], 0.0f);
    EXPECT_EQ(audio.loops[1], 0.0f);
}

}  // namespace
}  // namespace flikka
