// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/field/collisions.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "game/field/ball.h"
#include "game/field/brick_hit.h"
#include "game/field/paddle.h"

namespace tezmola {

namespace {

constexpr float kNoEvent = 10000000.0f;
constexpr float kOvershoot = 0.00001f;  // seconds: carries a ball just over the edge it was about to reach
constexpr float kStuckReach = 0.275f;   // a stuck ball stays within this share of the paddle's width
constexpr float kTwoPi = 6.28318f;
constexpr float kMinAngle = 0.2617992f;  // 15 degrees from the horizontal
// A ball stops this far before it leaves its cell, so that the cell it is about to enter is tested while
// the ball is still outside it (more than the overshoot at top speed, far less than the ball's radius).
constexpr float kCellExitMargin = 0.0005f;
constexpr int kMaxHitsPerStop = 3;      // one per candidate
constexpr std::size_t kKeptBalls = 32;  // balls whose nearest lines stepBalls keeps from stop to stop

struct Cell {
    int row;
    int column;
};

// The neighbours in the ball's direction of motion, corners included; none for a ball at rest.
struct Candidates {
    Cell cells[8];
    int count = 0;

    Candidates(int row, int column, float vx, float vy) {
        if (vx == 0.0f && vy == 0.0f)
            return;
        if (vx > 0.0f)
            add(row, column + 1);
        if (vx < 0.0f)
            add(row, column - 1);
        if (vy > 0.0f)
            add(row - 1, column);
        if (vy < 0.0f)
            add(row + 1, column);
        if (vx >= 0.0f && vy >= 0.0f)
            add(row - 1, column + 1);
        if (vx >= 0.0f && vy <= 0.0f)
            add(row + 1, column + 1);
        if (vx <= 0.0f && vy >= 0.0f)
            add(row - 1, column - 1);
        if (vx <= 0.0f && vy <= 0.0f)
            add(row + 1, column - 1);
    }
    void add(int row, int column) { cells[count++] = Cell{row, column}; }
};

// A cell's rectangle enlarged by the ball's radius on every side.
struct Bounds {
    float left;
    float right;
    float top;
    float bottom;

    explicit Bounds(Cell cell) {
        const float cellLeftEdge = cellLeft(cell.column);
        const float cellTopEdge = cellTop(cell.row);
        left = cellLeftEdge - kBallRadius;
        right = cellLeftEdge + kCellWidth + kBallRadius;
        top = cellTopEdge + kBallRadius;
        bottom = cellTopEdge - kCellHeight - kBallRadius;
    }
    bool holds(float x, float y) const { return left <= x && x <= right && bottom <= y && y <= top; }
};

// The earliest positive time, (line - position) / velocity, at which a coordinate reaches one of the lines
// given. Division by the velocity is monotonic, so the line nearest ahead gives that time: one division
// for all the lines, with the same result as one for each. Distances are kept in the direction of motion
// (multiplying by 1 or -1 is exact).
class NearestLine {
public:
    NearestLine(float position, float velocity)
        : position_(position), direction_(velocity > 0.0f ? 1.0f : -1.0f) {}
    void add(float line) {
        const float ahead = (line - position_) * direction_;
        if (ahead > 0.0f && ahead < nearest_) {
            nearest_ = ahead;
            line_ = line;
        }
    }
    // The nearest line ahead; NaN when there is none.
    float line() const { return line_; }

private:
    float position_;
    float direction_;
    float nearest_ = std::numeric_limits<float>::infinity();
    float line_ = std::numeric_limits<float>::quiet_NaN();
};

// Distance to a line in the direction of motion: positive while the line lies ahead.
float aheadOf(float line, float position, float velocity) {
    return (line - position) * (velocity > 0.0f ? 1.0f : -1.0f);
}

// Lowers t to the time at which the coordinate reaches the line, when that is positive and earlier.
void keepEarliest(float line, float position, float velocity, float& t) {
    const float time = aheadOf(line, position, velocity) * (velocity > 0.0f ? 1.0f : -1.0f) / velocity;
    if (time > 0.0f && time < t)
        t = time;
}

// The nearest lines ahead of a ball along each axis, and the velocity and cell they were found for.
// While the ball keeps both and has not reached either line, the lines stay the nearest: the others lie
// behind or farther ahead, and the lines are far more than a rounding error apart.
struct NextLines {
    float vx = 0.0f;
    float vy = 0.0f;
    int row = 0;
    int column = 0;
    float x = std::numeric_limits<float>::quiet_NaN();  // nearest column line ahead; NaN: none
    float y = std::numeric_limits<float>::quiet_NaN();
    bool known = false;
};

NextLines findNextLines(const Ball& ball);
bool stillNearest(const NextLines& next, const Ball& ball);
float timeToLines(const Ball& ball, const NextLines& next);

void rideOnPaddle(const Paddle& paddle, Ball& ball) {
    const float reach = kStuckReach * paddle.width;
    if (ball.x < paddle.x - reach)
        ball.x = paddle.x - reach;
    if (ball.x > paddle.x + reach)
        ball.x = paddle.x + reach;
    ball.y = paddle.y + kPaddleRest + kBallRadius;
}

// The time until the next edge that matters for any ball; stuck balls are put on the paddle on the way.
// With several balls, each ball's nearest lines are kept from stop to stop while they stay the nearest:
// at each stop most balls are far from theirs.
float earliestEvent(std::vector<Ball>& balls, const Paddle& paddle, NextLines (&kept)[kKeptBalls]) {
    float earliest = kNoEvent;
    for (std::size_t index = 0; index < balls.size(); ++index) {
        Ball& ball = balls[index];
        if (ball.stuck) {
            rideOnPaddle(paddle, ball);
            continue;
        }
        float t = 0.0f;
        if (balls.size() > 1 && index < kKeptBalls) {
            NextLines& next = kept[index];
            if (!stillNearest(next, ball))
                next = findNextLines(ball);
            t = timeToLines(ball, next);
        } else {
            t = timeToBoundary(ball);
        }
        if (t < earliest)
            earliest = t;
    }
    return earliest;
}

// Applies the hit on a non-empty cell; returns true when the ball is to be turned.
bool applyHit(BrickGrid& grid, Ball& ball, Cell hit, int ballRow, int ballColumn,
              CollisionListener& listener) {
    switch (grid.at(hit.row, hit.column).kind) {
        case BrickKind::Guard:
            listener.guardHit(ball.x);
            return true;
        case BrickKind::Pipe:
            listener.pipeHit(ball.x);
            return true;
        default:
            return hitBrick(grid, ball, hit.row, hit.column, ballRow, ballColumn, listener);
    }
}

void turnBall(Ball& ball, Cell hit, int ballRow, int ballColumn) {
    if ((hit.column < ballColumn && ball.vx < 0.0f) || (hit.column > ballColumn && ball.vx > 0.0f))
        ball.vx = -ball.vx;
    if ((hit.row < ballRow && ball.vy > 0.0f) || (hit.row > ballRow && ball.vy < 0.0f))
        ball.vy = -ball.vy;
}

// The brick test: the first occupied candidate whose enlarged rectangle holds the centre takes the hit.
// Returns true when there was one.
bool hitFirstCandidate(BrickGrid& grid, Ball& ball, CollisionListener& listener) {
    const int ballRow = cellRow(ball.y);
    const int ballColumn = cellColumn(ball.x);
    const Candidates candidates(ballRow, ballColumn, ball.vx, ball.vy);
    for (int index = 0; index < candidates.count; ++index) {
        const Cell cell = candidates.cells[index];
        // Most neighbours are empty: their kind is the cheaper test.
        if (grid.kindAt(cell.row, cell.column) == BrickKind::Empty || !Bounds(cell).holds(ball.x, ball.y))
            continue;
        if (applyHit(grid, ball, cell, ballRow, ballColumn, listener))
            turnBall(ball, cell, ballRow, ballColumn);
        return true;
    }
    return false;
}

// True when the ball lies within the exit margin of a side of its cell that it moves towards.
bool aboutToLeaveCell(const Ball& ball) {
    const float left = cellLeft(cellColumn(ball.x));
    const float top = cellTop(cellRow(ball.y));
    return (ball.vx > 0.0f && ball.x > left + kCellWidth - kCellExitMargin) ||
           (ball.vx < 0.0f && ball.x < left + kCellExitMargin) ||
           (ball.vy > 0.0f && ball.y > top - kCellExitMargin) ||
           (ball.vy < 0.0f && ball.y < top - kCellHeight + kCellExitMargin);
}

// Shallow or reversed directions are kept at least 15 degrees from the horizontal.
float clampDirection(float u) {
    if (u < kMinAngle)
        u = kMinAngle;
    if (u > kPi - kMinAngle && u < kPi)
        u = kPi - kMinAngle;
    if (u > kPi && u < kPi + kMinAngle)
        u = kPi + kMinAngle;
    if (u > kTwoPi - kMinAngle)
        u = kTwoPi - kMinAngle;
    return u;
}

// The exit margins make a ball stop in every cell it crosses while the cell beyond is still outside it:
// without them a ball already inside a candidate's enlarged rectangle flies on to that rectangle's far
// edge, which lies a ball radius inside the next cell.
float columnExit(int column, float vx) {
    return vx > 0.0f ? cellLeft(column) + kCellWidth - kCellExitMargin : cellLeft(column) + kCellExitMargin;
}

float rowExit(int row, float vy) {
    return vy > 0.0f ? cellTop(row) - kCellExitMargin : cellTop(row) - kCellHeight + kCellExitMargin;
}

// The lines a ball may reach first along one axis: the enlarged edges and the exit margin of each
// candidate cell's column (or row), and the exit margin of its own. The candidates lie in the next column
// in the direction of motion and, when the ball also moves along the other axis, in its own column.
void addColumnLines(NearestLine& lines, int column, float vx) {
    const float left = cellLeft(column);
    lines.add(left - kBallRadius);
    lines.add(left + kCellWidth + kBallRadius);
    lines.add(columnExit(column, vx));
}

void addRowLines(NearestLine& lines, int row, float vy) {
    const float top = cellTop(row);
    lines.add(top - kCellHeight - kBallRadius);
    lines.add(top + kBallRadius);
    lines.add(rowExit(row, vy));
}

float nearestColumnLine(int column, const Ball& ball) {
    NearestLine lines(ball.x, ball.vx);
    addColumnLines(lines, ball.vx > 0.0f ? column + 1 : column - 1, ball.vx);
    if (ball.vy != 0.0f)
        addColumnLines(lines, column, ball.vx);
    else
        lines.add(columnExit(column, ball.vx));
    return lines.line();
}

float nearestRowLine(int row, const Ball& ball) {
    NearestLine lines(ball.y, ball.vy);
    addRowLines(lines, ball.vy > 0.0f ? row - 1 : row + 1, ball.vy);
    if (ball.vx != 0.0f)
        addRowLines(lines, row, ball.vy);
    else
        lines.add(rowExit(row, ball.vy));
    return lines.line();
}

NextLines findNextLines(const Ball& ball) {
    NextLines next;
    next.vx = ball.vx;
    next.vy = ball.vy;
    next.row = cellRow(ball.y);
    next.column = cellColumn(ball.x);
    if (ball.vx != 0.0f)
        next.x = nearestColumnLine(next.column, ball);
    if (ball.vy != 0.0f)
        next.y = nearestRowLine(next.row, ball);
    next.known = true;
    return next;
}

bool stillNearest(const NextLines& next, const Ball& ball) {
    return next.known && next.vx == ball.vx && next.vy == ball.vy && next.row == cellRow(ball.y) &&
           next.column == cellColumn(ball.x) &&
           (ball.vx == 0.0f || aheadOf(next.x, ball.x, ball.vx) > 0.0f) &&
           (ball.vy == 0.0f || aheadOf(next.y, ball.y, ball.vy) > 0.0f);
}

float speedUpFactor(const Ball& ball);

// The time to the nearest of the lines, or to the cap that keeps a slow ball from flying unchecked.
float timeToLines(const Ball& ball, const NextLines& next) {
    float t = kCellHeight / (std::fabs(ball.vy) + 0.001f);
    if (ball.vx != 0.0f)
        keepEarliest(next.x, ball.x, ball.vx, t);
    if (ball.vy != 0.0f)
        keepEarliest(next.y, ball.y, ball.vy, t);
    // A speed-up due within the flight covers the distance sooner; without this the ball would overshoot
    // the edge it is stopped for by a hundredth of the way.
    if (ball.speedUpTimer + t > 0.0f)
        t /= speedUpFactor(ball);
    return t;
}

// How much faster the ball flies after the speed-up of its next advance.
float speedUpFactor(const Ball& ball) {
    const float speedSquared = ball.vx * ball.vx + ball.vy * ball.vy;
    const float vx = ball.vx * kSpeedUp;
    const float vy = ball.vy * kSpeedUp;
    if (speedSquared <= 0.0f)
        return 1.0f;
    if (vx * vx + vy * vy > kMaxSpeedSquared)
        return std::max(1.0f, kMaxSpeed / std::sqrt(speedSquared));
    return kSpeedUp;
}

}  // namespace

float timeToBoundary(const Ball& ball) {
    return timeToLines(ball, findNextLines(ball));
}

void stepBalls(std::vector<Ball>& balls, BrickGrid& grid, const Paddle& paddle, CollisionListener& listener,
               float dt) {
    float remaining = dt;
    NextLines kept[kKeptBalls];
    while (remaining > 0.0f) {
        const float earliest = earliestEvent(balls, paddle, kept);
        if (earliest < remaining) {
            const float step = earliest + kOvershoot;
            for (Ball& ball : balls) {
                advanceBall(ball, step);
                resolveCollision(grid, paddle, ball, listener);
            }
            remaining -= step;
        } else {
            for (Ball& ball : balls)
                advanceBall(ball, remaining);
            remaining = 0.0f;
        }
    }
}

void resolveCollision(BrickGrid& grid, const Paddle& paddle, Ball& ball, CollisionListener& listener) {
    // A ball about to leave its cell crosses into the next one without another stop, so a second brick
    // it already touches there is hit now rather than entered.
    for (int hits = 0; hits < kMaxHitsPerStop; ++hits) {
        if (!hitFirstCandidate(grid, ball, listener) || !aboutToLeaveCell(ball))
            break;
    }
    bounceOffPaddle(paddle, ball, listener);
}

void bounceOffPaddle(const Paddle& paddle, Ball& ball, CollisionListener& listener) {
    if (ball.vy > 0.0f)
        return;
    const float halfWidth = (paddle.width + kBallSize) * 0.5f;
    const float halfHeight = (paddle.height + kBallSize) * 0.5f;
    if (ball.x < paddle.x - halfWidth || ball.x > paddle.x + halfWidth || ball.y < paddle.y - halfHeight ||
        ball.y > paddle.y + halfHeight)
        return;
    float u = kPi * (paddle.x - ball.x) - std::atan2(ball.vy, ball.vx);
    if (u < 0.0f)
        u += kTwoPi;
    u = clampDirection(u);
    const float speed = std::sqrt(ball.vx * ball.vx + ball.vy * ball.vy);
    ball.vx = speed * std::cos(u);
    ball.vy = speed * std::sin(u);
    touchPaddle(ball);
    listener.paddleTouched(paddle.x);
}

}  // namespace tezmola
