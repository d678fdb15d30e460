// Ctrl-C in the terminal (SIGINT) and a polite kill (SIGTERM) ask the show to end as Escape
// does, through the window's close flag, so that the close path runs and the window library
// gives the desktop its video mode back. A second one ends the process at once, as the signal
// would have.
#pragma once

// Installs the handlers (called before main); true when they are in place.
bool catchInterrupts();
// Whether one of them has come.
bool interrupted();
