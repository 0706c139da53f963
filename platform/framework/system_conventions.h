// How the system starts programs like this one, where systems differ.
#pragma once

// Whether the system means "configure" when it starts a screen saver with an
// empty command line: Windows does (Explorer's Configure); elsewhere the
// program started alone simply runs.
bool EmptyCommandLineConfigures();
