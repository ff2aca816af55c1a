#pragma once

#include "app/Music.h"

#include <string>

// Button identifiers of the music controls in the top dock, with their
// labels (two blanks either side of the volume labels).
inline const char* const MUSIC_VOLUME_DN = "MUSIC_VOLUME_DN";
inline const char* const MUSIC_PLAY_PAUSE = "MUSIC_PLAY_PAUSE";
inline const char* const MUSIC_VOLUME_UP = "MUSIC_VOLUME_UP";
inline const char* const MUSIC_VOLUME_DN_LABEL = "  Vol -  ";
inline const char* const MUSIC_PLAY_PAUSE_LABEL = "Play/Pause";
inline const char* const MUSIC_VOLUME_UP_LABEL = "  Vol +  ";

// Volume at every start.
constexpr float MUSIC_START_VOLUME = 80;

// Carries out a music command for a button hit with identifier `id` and
// button state `state` (6 pressed, 11 idle). Only presses act: the volume
// moves by 5 within 0..100 and is handed to the stream; Play/Pause pauses a
// playing stream and plays it in any other status. Returns true when `id`
// was a music command.
bool applyMusicCommand(const std::string& id, int state, float& volume, MusicStream& music);

// Starts the background music: opens `path`, then plays it in a loop at
// `volume`. A file that cannot be opened prints "Error opening background
// music!" and leaves the stream silent. Returns whether it plays.
bool startMusic(MusicStream& music, const std::string& path, float volume);
