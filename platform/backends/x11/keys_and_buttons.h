/** @file keys_and_buttons.h VirtualKeyFor and GameButtonFor: X keys and buttons as the game reads them. */
// Translation between what the X server reports and what the game reads:
// key symbols to virtual-key codes and X button numbers to the game's buttons.
#pragma once

// Virtual-key code for an X key symbol; 0 for keys the game has no code for.
int VirtualKeyFor(unsigned long sym);

// Game button for an X button number (1 left, 3 right, 2 middle); 0 for wheel and extra buttons.
int GameButtonFor(unsigned int xButton);
