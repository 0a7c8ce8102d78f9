// The generated art in the build folder's gfx/, read the way the game reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/Platform.h"

namespace fp = flikka::platform;

namespace {

const char* const kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789:;_-.,*~!@#$%^&*()[]<>?";
const char* const kSuffixes[] = {"u", "u", "ul", "l", "dl", "d", "dr", "r", "ur"};  // slots 0 to 8
const char* const kSetPrefixes[] = {"h_", "a_", "h_s_", "a_s_", "gk_s_", "gk_"};

bool isWhite(fp::Color c) { return (c >> 24) == 0xFF && ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) > 200; }
bool isGrass(fp::Color c) {
    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
    return (c >> 24) == 0xFF && g > r + 30 && g > b + 30;
}

// Pitch metres to pitch-image pixels (16 per metre, the centre spot at the image centre),
// the same mapping as the match view's floor((x − cameraX) × 16 + W/2).
struct PitchImage {
    fp::PixelBuffer img = fp::loadPng("gfx/pitch.png");
    fp::Color at(float x, float y) const {
        return img.at(static_cast<int>(std::floor(img.width / 2 + x * 16.0f)),
                      static_cast<int>(std::floor(img.height / 2 - y * 16.0f)));
    }
};

}  // namespace

TEST(GeneratedArt, EveryFileThatTheGameLoadsExists) {
    std::vector<std::string> files = {"pitch.png", "hud_teams.png", "hud_time.png", "fade.png", "menubg.png",
                                      "menubgl.png", "minipitch.png", "font.png", "minifont.png", "menufont.png",
                                      "ball.png", "selected.png", "has_ball.png", "offside.png", "arr_left.png",
                                      "arr_right.png", "arr_up.png", "arr_down.png", "arr_ul.png", "arr_dl.png",
                                      "arr_ur.png", "arr_dr.png", "flikka.png", "mini_gk.png", "ball_s.png",
                                      "ug_back.png", "ug_top.png", "ug_frame.png", "lg_back.png", "lg_top.png",
                                      "lg_frame.png", "gk_j_up.png", "gk_j.png"};
    for (const char* prefix : kSetPrefixes)
        for (const char* suffix : kSuffixes) files.push_back(std::string(prefix) + suffix + ".png");
    for (const auto& f : files) EXPECT_TRUE(std::filesystem::exists("gfx/" + f)) << f;
}

TEST(GeneratedArt, PitchLinesLieOnTheLandmarks) {
    PitchImage p;
    EXPECT_EQ(p.img.width % 2, 0);
    EXPECT_EQ(p.img.height % 2, 0);
    EXPECT_GE(p.img.width, 70 * 16 + 32);   // grass beyond the touchlines
    EXPECT_GE(p.img.height, 105 * 16 + 32);  // and beyond the goal lines
    EXPECT_TRUE(isWhite(p.at(0, 0))) << "centre spot";
    EXPECT_TRUE(isWhite(p.at(35, 0))) << "right touchline";
    EXPECT_TRUE(isWhite(p.at(-35, 10))) << "left touchline";
    EXPECT_TRUE(isWhite(p.at(0, 52.5f))) << "upper goal line";
    EXPECT_TRUE(isWhite(p.at(10, -52.5f))) << "lower goal line";
    EXPECT_TRUE(isWhite(p.at(20, 0))) << "halfway line";
    EXPECT_TRUE(isWhite(p.at(9.15f, 0.5f))) << "centre circle";
    EXPECT_TRUE(isWhite(p.at(0, 9.15f))) << "centre circle";
    EXPECT_TRUE(isWhite(p.at(20, 36))) << "upper penalty area corner";
    EXPECT_TRUE(isWhite(p.at(-20, -36))) << "lower penalty area corner";
    EXPECT_TRUE(isWhite(p.at(-8.875f, 47))) << "upper goal area corner";
    EXPECT_TRUE(isWhite(p.at(8.875f, -49))) << "lower goal area side";
    EXPECT_TRUE(isWhite(p.at(0, 41.5f))) << "upper penalty spot";
    EXPECT_TRUE(isWhite(p.at(0, -41.5f))) << "lower penalty spot";
    EXPECT_TRUE(isWhite(p.at(0, 41.5f - 9.15f))) << "upper penalty arc";
    EXPECT_TRUE(isWhite(p.at(0, -41.5f + 9.15f))) << "lower penalty arc";
    // Grass just inside the lines, inside the areas and around the pitch.
    EXPECT_TRUE(isGrass(p.at(34.8f, 0.5f)));
    EXPECT_TRUE(isGrass(p.at(0, 52.2f)));
    EXPECT_TRUE(isGrass(p.at(19.7f, 37)));
    EXPECT_TRUE(isGrass(p.at(0, 4)));
    EXPECT_TRUE(isGrass(p.at(0, 40)));  // between spot and arc: the arc lies outside the area only
    EXPECT_TRUE(isGrass(p.at(0, 44)));
    EXPECT_TRUE(isGrass(p.at(37, 0)));
    EXPECT_TRUE(isGrass(p.at(0, 55)));
    EXPECT_TRUE(isGrass(p.at(-37.5f, -54)));
}

TEST(GeneratedArt, FontsCutIntoTheirEightyFiveGlyphs) {
    fp::WindowDescription d;
    d.offscreen = true;
    auto display = fp::Display::open(d);
    for (const char* file : {"gfx/font.png", "gfx/minifont.png", "gfx/menufont.png"}) {
        EXPECT_EQ(fp::cutFrames(fp::loadPng(file)).size(), 85u) << file;
        auto font = display->loadFont(file, kLetters);
        EXPECT_EQ(font->glyphCount(), 85) << file;
        EXPECT_GT(font->textWidth("W"), font->textWidth("i")) << file;
        EXPECT_GT(font->textWidth(" "), 0) << file;
        EXPECT_EQ(font->textWidth("Wi"), font->textWidth("W") + font->textWidth("i")) << file;
        EXPECT_GT(font->height(), 6) << file;
    }
    auto main = display->loadFont("gfx/font.png", kLetters);
    // The head-up display's texts fit their panels.
    EXPECT_LT(40 + main->textWidth("H: Supermen Utd"), 205);
    EXPECT_LT(main->textWidth("90 min"), 56);
    auto panel = display->loadImage("gfx/hud_teams.png");
    EXPECT_GE(30 + panel->width(), 211 + main->textWidth("10"));
    EXPECT_GE(30 + panel->height(), 64 + main->height() - 4);
}

TEST(GeneratedArt, SpriteSetsHaveNineSlotsWithTheirFrames) {
    fp::WindowDescription d;
    d.offscreen = true;
    auto display = fp::Display::open(d);
    for (const char* prefix : kSetPrefixes) {
        const bool running = std::string(prefix).find("_s_") == std::string::npos;
        for (const char* suffix : kSuffixes) {
            const std::string file = std::string("gfx/") + prefix + suffix + ".png";
            auto s = display->loadSprite(file, 70);
            EXPECT_EQ(s->frameCount() > 1, running) << file;
            // Every frame as wide as the first, so the footballer does not jitter sideways.
            const int w = s->width();
            for (int f = 0; f < s->frameCount(); ++f) {
                s->setFrame(f);
                EXPECT_EQ(s->width(), w) << file << " frame " << f;
                EXPECT_GE(s->height(), 28) << file;
                EXPECT_LE(s->height(), 32) << file;
            }
        }
    }
    for (const char* single : {"gfx/gk_j.png", "gfx/gk_j_up.png", "gfx/mini_gk.png", "gfx/flikka.png", "gfx/selected.png",
                               "gfx/has_ball.png", "gfx/offside.png", "gfx/arr_ul.png", "gfx/arr_left.png"}) {
        EXPECT_EQ(display->loadSprite(single, 200)->frameCount(), 1) << single;
    }
    auto ball = display->loadSprite("gfx/ball.png", 100);
    EXPECT_GT(ball->frameCount(), 1);
    EXPECT_EQ(ball->width(), 7);
    EXPECT_EQ(ball->height(), 7);
}

// Upper goal placed as the match view places it: bottom edge 2 px below the goal line.
TEST(GeneratedArt, GoalsFitTheMatchViewOffsets) {
    for (const char* end : {"ug_", "lg_"}) {
        const bool upper = std::string(end) == "ug_";
        const auto frame = fp::loadPng(std::string("gfx/") + end + "frame.png");
        const auto top = fp::loadPng(std::string("gfx/") + end + "top.png");
        const int lineRow = upper ? frame.height - 2 : 42;
        const int centre = frame.width / 2;
        // Posts at ±3.66 m, just above the goal line, opaque; the middle of the mouth clear.
        for (int sign : {-1, 1}) {
            const int x = static_cast<int>(std::floor(centre + sign * 3.66f * 16.0f));
            EXPECT_EQ(frame.at(x, lineRow - 5) >> 24, 0xFFu) << end;
            EXPECT_EQ(frame.at(x, lineRow - 30) >> 24, 0xFFu) << end;
        }
        EXPECT_EQ(frame.at(centre, lineRow - 5) >> 24, 0u) << end;
        // The crossbar 39 px above the line, across the mouth.
        EXPECT_EQ(top.at(centre, lineRow - 39) >> 24, 0xFFu) << end;
        EXPECT_EQ(top.at(centre, lineRow - 20) >> 24, 0u) << end;
    }
}

// Draws a piece of match with the offscreen display and keeps it as art_preview.png for a look.
TEST(GeneratedArt, ComposedMatchPicture) {
    fp::WindowDescription d;
    d.offscreen = true;
    d.width = 640;
    d.height = 480;
    auto display = fp::Display::open(d);
    auto pitch = display->loadImage("gfx/pitch.png");
    auto back = display->loadImage("gfx/ug_back.png");
    auto top = display->loadImage("gfx/ug_top.png");
    auto frame = display->loadImage("gfx/ug_frame.png");
    auto ball = display->loadSprite("gfx/ball.png", 100);
    auto shadow = display->loadImage("gfx/ball_s.png");
    auto selected = display->loadSprite("gfx/selected.png", 200);
    auto hud = display->loadImage("gfx/hud_teams.png");
    auto font = display->loadFont("gfx/font.png", kLetters);
    auto mini = display->loadFont("gfx/minifont.png", kLetters);
    const float camX = 0.0f, camY = 42.0f;
    auto sx = [&](float x) { return std::floor((x - camX) * 16.0f + d.width / 2); };
    auto sy = [&](float y) { return std::floor(d.height / 2 - (y - camY) * 16.0f); };
    display->clear(0xFF000000);
    pitch->draw(sx(0) - pitch->width() / 2, sy(0) - pitch->height() / 2);
    const float goalX = sx(0) - back->width() / 2;
    const float goalY = sy(52.5f) - back->height() + 2;
    back->draw(goalX, goalY);
    struct Man {
        const char* set;
        float x, y;
        int frame;
    };
    const Man men[] = {{"gk_s_d", 0.5f, 52.0f, 0}, {"h_u", -4.0f, 44.0f, 1}, {"a_d", -2.0f, 46.5f, 3},
                       {"h_ur", 6.0f, 40.0f, 4},   {"a_l", 9.0f, 43.0f, 2},  {"h_s_u", -12.0f, 37.5f, 0}};
    shadow->draw(sx(-3.0f) - 3, sy(45.0f) - 3);
    selected->draw(sx(-4.0f) - selected->width() / 2, sy(44.0f) - selected->height() / 2);
    for (const Man& m : men) {
        auto s = display->loadSprite(std::string("gfx/") + m.set + ".png", 70);
        s->setFrame(m.frame);
        s->draw(sx(m.x) - s->width() / 2, sy(m.y) - s->height());
    }
    ball->draw(sx(-3.0f) - 3, sy(45.0f + 0.4f) - 3);
    // A keeper diving to his right, laid down about his bottom-left hotspot.
    auto dive = display->loadSprite("gfx/gk_j.png", 70);
    dive->setRotationHotspot(-(dive->width() / 2), dive->height());
    dive->setAngle(-70.0f);
    dive->draw(sx(3.0f) - dive->width() / 2, sy(51.0f) - dive->height());
    frame->draw(goalX, goalY);
    top->draw(goalX, goalY);
    mini->draw(sx(-4.0f) - mini->textWidth("Dawson") / 2, sy(44.0f + 2.8f), "Dawson", 0xFFFFFFFF);
    hud->draw(30, 30, 0.7f);
    font->draw(40, 37, "H: Supermen Utd", 0xFFFFFFFF);
    font->draw(40, 64, "A: Lilac City", 0xFFFFFFFF);
    font->draw(211, 37, "2", 0xFFFFFFFF);
    font->draw(211, 64, "1", 0xFFFFFFFF);
    const fp::PixelBuffer picture = display->readPixels();
    fp::savePng(picture, "art_preview.png");
    // The ball is white where it is drawn, over the grass.
    const fp::Color b = picture.at(static_cast<int>(sx(-3.0f)), static_cast<int>(sy(45.4f)));
    EXPECT_GT((b >> 8) & 0xFF, 150u);
    EXPECT_GT(b & 0xFF, 150u);

    // The lower end, in the match view's painter's order: further up the pitch first, then the
    // keeper inside the goal behind the frame, the net in front of him, the crossbar last.
    auto lgBack = display->loadImage("gfx/lg_back.png");
    auto lgTop = display->loadImage("gfx/lg_top.png");
    auto lgFrame = display->loadImage("gfx/lg_frame.png");
    const float lowX = 0.0f, lowY = -44.0f;
    auto lx = [&](float x) { return std::floor((x - lowX) * 16.0f + d.width / 2); };
    auto ly = [&](float y) { return std::floor(d.height / 2 - (y - lowY) * 16.0f); };
    display->clear(0xFF000000);
    pitch->draw(lx(0) - pitch->width() / 2, ly(0) - pitch->height() / 2);
    const float lgX = lx(0) - lgBack->width() / 2, lgY = ly(-52.5f) - 39 - 3;
    auto striker = display->loadSprite("gfx/a_d.png", 70);
    striker->setFrame(2);
    striker->draw(lx(-2.0f) - striker->width() / 2, ly(-47.0f) - striker->height());
    auto defender = display->loadSprite("gfx/h_s_u.png", 70);
    defender->draw(lx(4.0f) - defender->width() / 2, ly(-50.0f) - defender->height());
    lgFrame->draw(lgX, lgY);
    auto keeper = display->loadSprite("gfx/gk_s_u.png", 70);
    keeper->draw(lx(1.0f) - keeper->width() / 2, ly(-52.9f) - keeper->height());
    lgBack->draw(lgX, lgY);
    lgTop->draw(lgX, lgY);
    fp::savePng(display->readPixels(), "art_preview_lower.png");
}

// The main menu over the title pitch, kept as menu_preview.png for a look.
TEST(GeneratedArt, ComposedMenuPicture) {
    fp::WindowDescription d;
    d.offscreen = true;
    auto display = fp::Display::open(d);
    auto pitch = display->loadImage("gfx/pitch.png");
    auto bg = display->loadImage("gfx/menubg.png");
    auto menu = display->loadFont("gfx/menufont.png", kLetters);
    auto main = display->loadFont("gfx/font.png", kLetters);
    display->clear(0xFF000000);
    pitch->draw((d.width - pitch->width()) * 0.5f, (d.height - pitch->height()) * 0.5f);
    const float t = (d.height - bg->height()) / 2;
    bg->draw((d.width - bg->width()) * 0.5f, t);
    const char* items[] = {"new game", "< radar on >", "run left(Left)", "shoot key(D)", "about", "quit"};
    int line = 2;
    for (const char* item : items) {
        const fp::Color c = line == 2 ? 0xFFFF0000 : 0xFFFFFFFF;
        menu->draw(d.width / 2 - menu->textWidth(item) / 2, t + (main->height() + 4) * line + 70, item, c);
        ++line;
    }
    const fp::PixelBuffer picture = display->readPixels();
    fp::savePng(picture, "menu_preview.png");
    // The panel darkens the pitch behind it.
    const fp::Color inside = picture.at(d.width / 2 - 150, static_cast<int>(t) + 30);
    EXPECT_LT((inside >> 8) & 0xFF, 90u);
}
