// OpenGL and GLU for the renderer on Win32, from the system folder only.
//
// opengl32 and glu32 are no KnownDLLs: imported the usual way, Windows would
// take a file of either name lying beside the program first, and run it. The
// renderer therefore imports neither. This file defines every OpenGL, GLU and
// WGL function the renderer calls, each forwarding to the system copy's
// function, found by name when the two libraries are loaded.
#pragma once

// Loads opengl32 and glu32 from the system folder and finds every function
// the renderer calls; later calls only answer. False when either library or
// one of its functions is missing. Called before the first pixel format is
// chosen: GDI then finds opengl32 already loaded. A function called before
// this has been done loads the libraries first, and a program that cannot
// have them ends there, quietly, with exit code 0.
bool LoadOpenGl();
