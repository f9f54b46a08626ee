// What the program registers before it reads any description: its forms' classes, found by
// name when a form is shown on its own (formshow) and by the reader.
#pragma once

namespace tavelo {

void RegisterProgramClasses();

}  // namespace tavelo
