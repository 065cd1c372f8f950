// Plays every shipped level with a test-only player that drives the real simulation through the game's
// own signals: it moves the pointer so that the paddle meets the next ball to come down, aims the bounce
// at a brick that is left, picks up capsules when there is time, and launches with Space. Each level must
// be cleared from a fresh serve within a bounded time, losing only a few balls.
//
// TEZMOLA_AUTOPILOT_STRIDE=k plays only levels 1, 1 + k, 1 + 2k ... for a quicker look; every level by
// default (about 3 s in all, 20 s under the sanitizers).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "data/shipped_data.h"
#include "engine/core/input.h"
#include "engine/core/timer.h"
#include "engine/file/log.h"
#include "game/balls.h"
#include "game/brick_grid.h"
#include "game/game_structure.h"
#include "game/level.h"
#include "support/test_support.h"

namespace {

constexpr float kStep = pentavel::kStepSeconds;
constexpr float kMaxSecondsPerLevel = 600.0f;  // simulated; the slowest level takes about 160 s
constexpr int kMaxLostBallsPerLevel = 3;
constexpr int kSpaceKey = 32;
constexpr float kPi = 3.14159f;
constexpr float kBallRadius = 0.03335f;
constexpr float kWallX = 1.0f - 0.06666667f - kBallRadius;  // ball centre at the side pipes

int levelStride() {
    const char* value = std::getenv("TEZMOLA_AUTOPILOT_STRIDE");
    const int stride = value ? std::atoi(value) : 1;
    return stride > 0 ? stride : 1;
}

int shippedLevelCount() {
    const std::string text = test::readWholeFile(test::dataDir() + "/level.xml");
    int count = 0;
    for (size_t at = text.find("<level>"); at != std::string::npos; at = text.find("<level>", at + 1))
        ++count;
    return count;
}

std::vector<int> shippedLevels() {
    std::vector<int> levels;
    for (int n = 1; n <= shippedLevelCount(); ++n)
        levels.push_back(n);
    return levels;
}

// Folds a straight flight between the side pipes back into the field.
float reflectIntoField(float x) {
    const float span = 2.0f * kWallX;
    float t = std::fmod(x + kWallX, 2.0f * span);
    if (t < 0.0f)
        t += 2.0f * span;
    return t <= span ? t - kWallX : span - (t - span) - kWallX;
}

class Autopilot {
public:
    explicit Autopilot(tezmola::GameStructure& game) : game_(game) {}

    // One decision and one simulation step, as a player's hand and the game's clock would make them.
    void step() {
        if (anyBallStuck())
            pentavel::keyDownSignal().emit(kSpaceKey);
        pentavel::mouseMotionSignal().emit(chooseX(), game_.paddle.y);
        pentavel::updateSignal().emit(kStep);
    }

private:
    bool anyBallStuck() const {
        for (const tezmola::Ball& ball : game_.balls)
            if (ball.stuck)
                return true;
        return false;
    }

    float impactY() const { return game_.paddle.y + (game_.paddle.height + tezmola::kBallSize) * 0.5f; }

    // The falling ball that reaches the paddle first, with when and where.
    bool nextArrival(const tezmola::Ball*& next, float& when, float& where) const {
        next = nullptr;
        when = 1e9f;
        for (const tezmola::Ball& ball : game_.balls) {
            if (ball.stuck || ball.vy >= 0.0f || ball.y < impactY() - 0.02f)
                continue;
            const float t = (ball.y - impactY()) / -ball.vy;
            if (t < when) {
                when = t;
                next = &ball;
                where = reflectIntoField(ball.x + ball.vx * t);
            }
        }
        return next != nullptr;
    }

    // The lowest colour brick left, nearest to x among equals: usually the one the ball can reach.
    bool target(float fromX, float& tx, float& ty) const {
        for (int row = 18; row >= 1; --row) {
            float best = 1e9f;
            for (int column = 1; column <= 14; ++column)
                if (tezmola::isColourBrick(game_.grid.at(row, column).kind)) {
                    const float x = tezmola::cellCentreX(column);
                    if (std::fabs(x - fromX) < std::fabs(best - fromX))
                        best = x;
                }
            if (best < 1e8f) {
                tx = best;
                ty = tezmola::cellCentreY(row);
                return true;
            }
        }
        return false;
    }

    float chooseX() {
        const tezmola::Ball* ball = nullptr;
        float when = 0.0f, where = 0.0f;
        if (!nextArrival(ball, when, where)) {
            if (game_.balls.empty())
                return game_.paddle.x;
            return catchCapsule(1e9f, game_.balls.front().x);
        }
        // Offset that sends the ball at the target: the bounce leaves at pi * (paddle x - ball x) - a.
        float offset = 0.0f;
        float tx = 0.0f, ty = 0.0f;
        if (target(where, tx, ty)) {
            const float incoming = std::atan2(ball->vy, ball->vx);
            float wanted = std::atan2(ty - impactY(), tx - where);
            wanted = std::fmin(std::fmax(wanted, 0.35f), kPi - 0.35f);
            offset = (wanted + incoming) / kPi;
            offset = std::fmin(std::fmax(offset, -0.12f), 0.12f);
        }
        return catchCapsule(when, where + offset);
    }

    // With time to spare before the next ball, the paddle visits a capsule that is at its height.
    float catchCapsule(float ballArrives, float x) const {
        if (ballArrives < 0.03f)
            return x;
        for (const tezmola::PowerUp& capsule : game_.powerUps)
            if (std::fabs(capsule.y - game_.paddle.y) < game_.paddle.height * 0.4f)
                return capsule.x;
        return x;
    }

    tezmola::GameStructure& game_;
};

class AutopilotTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        writable_ = test::useShippedArchive();
        pentavel::openLog();
        game_ = std::make_unique<tezmola::GameStructure>();
        ASSERT_TRUE(tezmola::initialiseGameStructure(*game_));
    }
    void TearDown() override {
        game_.reset();
        pentavel::closeLog();
    }

    std::string writable_;
    std::unique_ptr<tezmola::GameStructure> game_;
};

TEST_P(AutopilotTest, ClearsTheLevelFromAFreshServeInBoundedTimeLosingFewBalls) {
    const int level = GetParam();
    if ((level - 1) % levelStride() != 0)
        GTEST_SKIP() << "not in this run's subset (TEZMOLA_AUTOPILOT_STRIDE)";
    tezmola::GameStructure& game = *game_;
    game.levelNumber = static_cast<std::uint32_t>(level);
    tezmola::buildLevel(game);
    while (game.lives < 10)
        tezmola::addSpareBall(game);
    const int bricks = game.bricksLeft;
    ASSERT_GT(bricks, 0);

    Autopilot player(game);
    int lost = 0, steps = 0;
    const int maxSteps = static_cast<int>(kMaxSecondsPerLevel / kStep);
    while (game.levelNumber == static_cast<std::uint32_t>(level) && steps < maxSteps) {
        const std::uint32_t livesBefore = game.lives;
        player.step();
        ++steps;
        if (game.levelNumber == static_cast<std::uint32_t>(level) && game.lives < livesBefore)
            lost += static_cast<int>(livesBefore - game.lives);
        ASSERT_TRUE(game.playing) << "game over on level " << level;
    }
    const bool cleared = game.levelNumber != static_cast<std::uint32_t>(level);
    std::printf("level %2d: %d bricks %s after %6.1f s, %d balls lost\n", level, bricks,
                cleared ? "cleared" : "NOT cleared", steps * kStep, lost);
    EXPECT_TRUE(cleared) << "level " << level << " not cleared in " << kMaxSecondsPerLevel << " s; "
                         << game.bricksLeft << " bricks left";
    EXPECT_LE(lost, kMaxLostBallsPerLevel) << "level " << level;
}

INSTANTIATE_TEST_SUITE_P(ShippedLevels, AutopilotTest, ::testing::ValuesIn(shippedLevels()),
                         [](const ::testing::TestParamInfo<int>& info) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Level%02d", info.param);
                             return std::string(name);
                         });

}  // namespace
