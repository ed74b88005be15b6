#pragma once
// The SDL window behind a host window handle: for the host layer's own files,
// and for tests that look at what SDL holds.
struct HostWindow;
struct SDL_Window;

SDL_Window* HostWindow_Sdl(HostWindow* window);
HostWindow* HostWindow_FromSdl(SDL_Window* window);
