#pragma once

// A console program asked to stop: Ctrl+C, or a request to terminate (SIGTERM on POSIX; the
// console closing, the user logging off or the system shutting down on Windows).

// From now on the first such request is noted instead of ending the process; a second one ends
// it at once, as if no request were caught.
void CatchStopRequests();

// 0 while the program has not been asked to stop; else the exit status a shell gives a program
// ended by the request: 130 for Ctrl+C (128 + SIGINT), 143 for a request to terminate
// (128 + SIGTERM). Safe to call from any thread.
int GetStopRequest();
