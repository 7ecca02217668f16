#pragma once
// The system's older text-to-speech interface, as far as Text To Speech uses
// it: the mode enumerator, the engine's central object, its two notification
// sinks, and the audio destination that writes a WAVE file. The compiler's
// Windows headers do not carry it, so the layouts are declared here; they
// follow the binary interface of that speech runtime, the wide-character
// variants throughout.

#include <objbase.h>

namespace speech_modes {

using QWORD = unsigned long long;

constexpr int kNameLength = 262;
constexpr int kDialectLength = 64;
// TextData's character set: plain text.
constexpr DWORD kPlainText = 0;
// TextDataDone's flag for text whose speaking was cut short.
constexpr DWORD kAbortedFlag = 1;

struct SpeechData {
  void* data;
  DWORD size;
};

struct Language {
  LANGID languageId;
  WCHAR dialect[kDialectLength];
};

struct ModeInfo {
  GUID engineId;
  WCHAR maker[kNameLength];
  WCHAR product[kNameLength];
  GUID modeId;
  WCHAR modeName[kNameLength];
  Language language;
  WCHAR speaker[kNameLength];
  WCHAR style[kNameLength];
  WORD gender;
  WORD age;
  DWORD features;
  DWORD interfaces;
  DWORD engineFeatures;
};

// {D67C0280-C743-11CD-80E5-00AA003E4B50}
constexpr CLSID kEnumeratorClass = {0xd67c0280, 0xc743, 0x11cd, {0x80, 0xe5, 0x00, 0xaa, 0x00, 0x3e, 0x4b, 0x50}};
// {D4623720-E4B9-11CF-8D56-00A0C9034A7E}
constexpr CLSID kFileDestinationClass = {0xd4623720, 0xe4b9, 0x11cf, {0x8d, 0x56, 0x00, 0xa0, 0xc9, 0x03, 0x4a, 0x7e}};
// {6B837B20-4A47-101B-931A-00AA0047BA4F}
constexpr IID kEnumInterface = {0x6b837b20, 0x4a47, 0x101b, {0x93, 0x1a, 0x00, 0xaa, 0x00, 0x47, 0xba, 0x4f}};
// {28016060-4A47-101B-931A-00AA0047BA4F}
constexpr IID kCentralInterface = {0x28016060, 0x4a47, 0x101b, {0x93, 0x1a, 0x00, 0xaa, 0x00, 0x47, 0xba, 0x4f}};
// {C0FA8F40-4A46-101B-931A-00AA0047BA4F}
constexpr IID kNotifySinkInterface = {0xc0fa8f40, 0x4a46, 0x101b, {0x93, 0x1a, 0x00, 0xaa, 0x00, 0x47, 0xba, 0x4f}};
// {E4963D40-C743-11CD-80E5-00AA003E4B50}
constexpr IID kBufferSinkInterface = {0xe4963d40, 0xc743, 0x11cd, {0x80, 0xe5, 0x00, 0xaa, 0x00, 0x3e, 0x4b, 0x50}};
// {FD7C2320-3D6D-11B9-C000-FED6CBA3B1A9}
constexpr IID kAudioFileInterface = {0xfd7c2320, 0x3d6d, 0x11b9, {0xc0, 0x00, 0xfe, 0xd6, 0xcb, 0xa3, 0xb1, 0xa9}};

struct Central;

struct ModeEnum : IUnknown {
  STDMETHOD(Next)(ULONG count, ModeInfo* modes, ULONG* fetched) = 0;
  STDMETHOD(Skip)(ULONG count) = 0;
  STDMETHOD(Reset)() = 0;
  STDMETHOD(Clone)(ModeEnum** copy) = 0;
  STDMETHOD(Select)(GUID modeId, Central** central, IUnknown* audioDestination) = 0;
};

struct Central : IUnknown {
  STDMETHOD(Inject)(const WCHAR* tag) = 0;
  STDMETHOD(ModeGet)(ModeInfo* mode) = 0;
  STDMETHOD(Phoneme)(DWORD charset, DWORD flags, SpeechData text, SpeechData* phonemes) = 0;
  STDMETHOD(PosnGet)(QWORD* position) = 0;
  STDMETHOD(TextData)(DWORD charset, DWORD flags, SpeechData text, void* bufferSink, IID sinkInterface) = 0;
  STDMETHOD(ToFileTime)(QWORD* position, FILETIME* time) = 0;
  STDMETHOD(AudioPause)() = 0;
  STDMETHOD(AudioResume)() = 0;
  STDMETHOD(AudioReset)() = 0;
  STDMETHOD(Register)(void* notifySink, IID sinkInterface, DWORD* key) = 0;
  STDMETHOD(UnRegister)(DWORD key) = 0;
};

struct NotifySink : IUnknown {
  STDMETHOD(AttribChanged)(DWORD attribute) = 0;
  STDMETHOD(AudioStart)(QWORD position) = 0;
  STDMETHOD(AudioStop)(QWORD position) = 0;
  STDMETHOD(Visual)(QWORD position, WCHAR phoneme, WCHAR enginePhoneme, DWORD hints, void* mouth) = 0;
};

struct BufferSink : IUnknown {
  STDMETHOD(TextDataDone)(QWORD position, DWORD flags) = 0;
  STDMETHOD(TextDataStarted)(QWORD position) = 0;
  STDMETHOD(BookMark)(QWORD position, DWORD mark) = 0;
  STDMETHOD(WordPosition)(QWORD position, DWORD offset) = 0;
};

struct AudioFile : IUnknown {
  STDMETHOD(Register)(IUnknown* notifySink) = 0;
  STDMETHOD(Set)(const WCHAR* path, DWORD id) = 0;
  STDMETHOD(Add)(const WCHAR* path, DWORD id) = 0;
  STDMETHOD(Flush)() = 0;
  STDMETHOD(RealTimeSet)(WORD percent) = 0;
  STDMETHOD(RealTimeGet)(WORD* percent) = 0;
};

}  // namespace speech_modes
