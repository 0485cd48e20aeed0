// Handing off to a companion program installed in the title folder: an updater, else a
// stand-alone player. Each returns 1 when it asked for a companion to start.
#pragma once

int LaunchUpdaterIfPresent();
int LaunchPlayerIfPresent();
