#pragma once
// The SDK's own declarations of the entry points this library defines. Everything else in the
// library is hidden; these must be visible to the dispatcher's dlsym.
#pragma GCC visibility push(default)
#include <mfxvideo.h>
#include <mfxenc.h>
#include <mfxpak.h>
#include <mfxplugin.h>
#include <mfxaudio.h>
#pragma GCC visibility pop
