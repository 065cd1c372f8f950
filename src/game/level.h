#pragma once
// The level file and the building of one level into the brick grid.

#include <cstddef>
#include <string>

namespace tezmola {

class GameStructure;

// Loads "level.xml" for the whole run and counts its "level" elements. False on a missing or malformed
// file ("Cannot read level file!").
bool readLevelFile(GameStructure& game);
// Once: empties every cell, places its sprites at home, connects its spring-back, lays the frame.
void setUpGrid(GameStructure& game);
// Once: the 99 background tiles, without an image until a level names one.
void makeBackground(GameStructure& game);
// Builds level levelNumber (levels repeat after the last), then serves a fresh ball.
void buildLevel(GameStructure& game);
// Lays a brick map into rows 0..18 of the grid; returns the number of colour bricks laid.
int readBrickMap(GameStructure& game, const char* text);

}  // namespace tezmola
