#pragma once
// Showavi: the progress note shown while the screen waits for the server.
// There is one note: showing it again while shown replaces its kind and text;
// removing it when none is shown does nothing (clean-up paths may run twice).
#include <string>

class TForm;

namespace Showavi {

// Shows the note over the main form with an animation kind (0, 1, 6, ...) and an optional text.
void ActiveShowAvi(TForm* mainForm, int kind, const std::string& text = "");
void DeactiveShowAvi();
bool Active();  // whether the note is shown

}  // namespace Showavi
