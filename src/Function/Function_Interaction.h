#pragma once
// The "Interaction.." group: messages, questions and text input, file
// dialogs, splash and show functions, the keyboard, mouse and joystick
// built-ins, virtual keys and the gesture settings. Each registration starts
// the group's settings (splash, dialog caption, high-score table, double
// clicks) afresh.
void InitInteractionFunctions();
// The keyboard, mouse and legacy joystick built-ins (the joysticks only for
// games of major version below 2).
void InitKeyboardMouseFunctions();
// The gesture settings (games of major version 2 and later).
void InitGestureFunctions();
// The high-score built-ins and draw_highscore.
void InitHighScoreFunctions();
