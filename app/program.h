// What the program registers before it reads any description: its forms' classes, found by
// name when a form is shown on its own (formshow) and by the reader.
#pragma once

namespace tavelo {

void RegisterProgramClasses();
// Builds the program's windows hidden from their descriptions, in the order that makes the
// main window the main form: the main window, the about box, the splash window.
void CreateProgramForms();

}  // namespace tavelo
