#pragma once
// The settings dialogs of the encoder components and of the playlists and
// feeds. Each edits its record in place; false when the user cancels.

#include <windows.h>

#include "formats/encoder_settings.h"

bool editMp3EncoderSettings(HWND owner, Mp3EncoderSettings& settings);
bool editOggEncoderSettings(HWND owner, OggEncoderSettings& settings);
// rate 0 shows the sound's rate (the rate of the file being saved).
bool editFlacEncoderSettings(HWND owner, FlacEncoderSettings& settings, int32_t soundRate);
bool editAacEncoderSettings(HWND owner, AacEncoderSettings& settings);
bool editAmrEncoderSettings(HWND owner, AmrEncoderSettings& settings);
// title: "RSS Podcast File Settings" or "Playlist File Settings".
bool editRootUrl(HWND owner, RssEncodeSettings& settings, const std::string& title);
