// Registry values in UTF-16, through advapi32 found at its first use: a
// launch never reads the registry.
#ifndef KO_REGISTRY_H
#define KO_REGISTRY_H
#include <windows.h>
#include <string>

// The string value name (null: the key's default) of root\key, whole however
// long; "" where there is none, or none of the types allowed (RRF_RT_REG_SZ;
// with RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND an expandable one as written).
std::wstring koRegText(HKEY root, const std::wstring& key, const wchar_t* name, DWORD types = RRF_RT_REG_SZ);

#endif
