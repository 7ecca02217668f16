#include "editor/command_help.h"

#include "editor/command_ids.h"

namespace {

struct HelpText {
  int id;
  const char* text;
};

const HelpText kHelpTexts[] = {
    {1001, "Creates a new audio file."},
    {1002, "Opens an existing file."},
    {1011, "Load audio track(s) from CDs."},
    {1003, "Closes the current file."},
    {1004, "Saves the current file."},
    {1005, "Saves the current file with a new name or format."},
    {1009, "Sends the file by email."},
    {1013, "Opens a Razavo project."},
    {1014, "Closes the current project."},
    {1015, "Saves the current project."},
    {1016, "Saves the current project with a new name."},
    {1006, "Converts the sample rate of the current file."},
    {1007, "Converts current file to mono."},
    {1008, "Converts current file to stereo."},
    {1010, "Adjust Razavo settings and options."},
    {1048, "Quit"},
    {2001, "Reverses (undo) the last action."},
    {2002, "Cuts the selection and keeps it on the Clipboard."},
    {2003, "Copies the selection to the Clipboard."},
    {2021, "Copies the selected region to a new file."},
    {2004, "Inserts clipboard contents."},
    {2025, "Inserts window clipboard contents."},
    {2005, "Mixes the clipboard contents over the current selected region."},
    {2026, "Mixes the window clipboard contents over the current selected region."},
    {2007, "Selects the entire file."},
    {2022, "Selects everything before the current position."},
    {2023, "Selects everything after the current position."},
    {2008, "Mixes the current file with another file"},
    {2009, "Repeats the selected region."},
    {2010, "The selected region becomes the entire file."},
    {2011, "Deletes everything before the current position."},
    {2012, "Deletes everything after the current position."},
    {2013, "Deletes silence from the start and end."},
    {2029, "Splits the current file into two files at the current poistion."},
    {2014, "Silences the selected region."},
    {2028, "Save the selected region as a new file."},
    {2015, "Inserts silence at the start."},
    {2016, "Inserts silence at the current position."},
    {2017, "Inserts silence at the end."},
    {2018, "Inserts another file at the start."},
    {2019, "Inserts another file at the current position."},
    {2020, "Inserts another file at the end."},
    {4001, "Increases or decreases the volume of the selected region."},
    {4002, "Adjusts the volume to an optimal (normal) level."},
    {4009, "Increases soft regions and decreases loud regions for a perfect volume."},
    {4012, "Volume compression, limiting or noise gates."},
    {4011, "Removes lower frequencies."},
    {4003, "Changes the tone with graphic equaliser"},
    {4004, "Adds echo to the selected region."},
    {4005, "Adds reverb to the selected region."},
    {4018, "Reverses the selected region."},
    {4006, "Fades in over the selected region."},
    {4007, "Fades out over the selected region."},
    {4013, "Fades out over the selected region and deletes everything after the end position."},
    {4008, "Adjusts the volume envelope over the selected region."},
    {4010, "Reduces background noise."},
    {4014, "Adjust speed and pitch."},
    {4015, "Adjusts speed without changing pitch."},
    {4016, "Adjusts pitch without changing the speed."},
    {4017, "Removes DC component to avoid clicks when editing."},
    {3001, "Records at the current position (or over selection)."},
    {3002, "Plays the current file from the current position."},
    {3004, "Plays the current file from the current position at normal speed."},
    {3003, "Plays the current file from the current position at slow speed."},
    {3005, "Plays the current file from the current position at fast speed."},
    {3011, "Repeats playing the current selection."},
    {3006, "Stops playback."},
    {3007, "Moves to the start of the file."},
    {3008, "Rewinds"},
    {3009, "Fast-forwards"},
    {3010, "Moves to the end of the current file."},
    {7001, "Views the spectral content of an audio signal."},
    {7005, "Views the time-varying spectral content of a selected region in the audio waveform."},
    {7002, "Creates new tones."},
    {7004, "Converts text to audio."},
    {7003, "Applies multiple effect or edit functions on the current file at once."},
    {8001, "Remembers the current position of the file."},
    {8003, "Set a specified bookmark at the current position."},
    {8004, "Remembers the current selection of the file."},
    {8000, "Select a specified region."},
    {8005, "Assemble regions into a new file."},
    {5009, "Cascade windows on the Desktop"},
    {5010, "Tile windows horizontally on the Desktop"},
    {5011, "Tile windows vertically on the Desktop"},
    {5012, "Arrange all iconized Windows"},
    {5001, "Zooms in."},
    {5002, "Zooms out."},
    {5003, "Zooms to the selected region."},
    {5004, "Displays the entire wave length."},
    {5005, "Increase the amplitude of the display (to see softer sounds)."},
    {5007, "Wave display + up / - down."},
    {5008, "Wave display left channel up / right channel down."},
    {5040, "Closes all windows."},
    {6000, "Displays the manual."},
    {9090, "Displays program information including version number"},
};

}  // namespace

const char* commandHelp(int id) {
  if (id >= cmd::RecentFirst && id <= cmd::RecentLast) return "Open the recent closed file.";
  if (id >= cmd::WindowFirst && id <= cmd::WindowLast) return "Activates the selected window.";
  for (const auto& help : kHelpTexts)
    if (help.id == id) return help.text;
  return nullptr;
}
