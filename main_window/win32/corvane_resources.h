// IDs of Corvane.exe's resources, shared by the .rc files and the code that
// loads them. Plain #defines: the resource compiler reads this file too.
#ifndef CORVANE_RESOURCES_H
#define CORVANE_RESOURCES_H

// The program's icon: the executable's first, so it is the one Explorer shows.
#define IDI_CORVANE 1

#endif
