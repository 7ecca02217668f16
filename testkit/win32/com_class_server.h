#pragma once
// The pieces every in-process COM server of the tests has: a class factory
// that makes one kind of object, and the registration of a class under the
// DLL that serves it (in the classes root of the test's prefix).

#include <windows.h>

#include <string>

namespace testkit {

// Makes objects through make(), which returns one reference that the factory
// hands over as the interface asked for.
class ClassFactory final : public IClassFactory {
 public:
  using Make = IUnknown* (*)();
  explicit ClassFactory(Make make) : m_make(make) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // A static object: counting references would mean nothing.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IUnknown* made = m_make();
    if (!made) return E_OUTOFMEMORY;
    const HRESULT result = made->QueryInterface(iid, object);
    made->Release();
    return result;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  Make m_make;
};

// "CLSID\{...}" of a class, under the classes root.
inline std::wstring classKey(const CLSID& classId) {
  wchar_t text[64] = {};
  StringFromGUID2(classId, text, 64);
  return std::wstring(L"CLSID\\") + text;
}

// Registers module as the in-process server of classId, for any apartment.
inline HRESULT registerInprocServer(HMODULE module, const CLSID& classId) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(module, path, MAX_PATH);
  HKEY key;
  const std::wstring server = classKey(classId) + L"\\InprocServer32";
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, server.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return E_FAIL;
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), (lstrlenW(path) + 1) * 2);
  const wchar_t threading[] = L"Both";
  RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(threading), sizeof threading);
  RegCloseKey(key);
  return S_OK;
}

inline void unregisterInprocServer(const CLSID& classId) { RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey(classId).c_str()); }

}  // namespace testkit
