// Fixed-width Windows types, with the widths they have on Windows (LLP64).
#pragma once

#include <cstdint>

#define WINAPI
#define STDMETHODCALLTYPE

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using USHORT = std::uint16_t;
using SHORT = std::int16_t;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using LONG = std::int32_t;
using LONGLONG = std::int64_t;
using BOOL = int;
using HRESULT = std::int32_t;

using WCHAR = wchar_t;
using OLECHAR = wchar_t;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using LPCOLESTR = const OLECHAR*;
using LPVOID = void*;
using PVOID = void*;

#define TRUE 1
#define FALSE 0

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

constexpr HRESULT MakeHresult(std::uint32_t code) { return static_cast<HRESULT>(code); }

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOINTERFACE = MakeHresult(0x80004002u);
constexpr HRESULT E_POINTER = MakeHresult(0x80004003u);
constexpr HRESULT E_FAIL = MakeHresult(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = MakeHresult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MakeHresult(0x80070057u);
constexpr HRESULT RPC_E_CHANGED_MODE = MakeHresult(0x80010106u);
constexpr HRESULT CO_E_NOTINITIALIZED = MakeHresult(0x800401F0u);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeHresult(0x80040154u);
constexpr HRESULT CLASS_E_NOAGGREGATION = MakeHresult(0x80040110u);
