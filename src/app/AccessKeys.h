#pragma once

// A button's access key (Alt and its underlined letter) does what a mouse click
// on the button does: the focus moves to the button first, so the rule of the
// box being left runs, and the button acts only when that rule let the focus go.

// From now on every button of every window keeps to this; a second call does
// nothing more.
void InstallAccessKeys();
