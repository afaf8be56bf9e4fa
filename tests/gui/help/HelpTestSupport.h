#pragma once

#include "core/AppProfile.h"
#include "core/ProgramFolder.h"

#include <QObject>
#include <QString>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

// The help tests run from a folder of their own, which stands in for the
// program folder: tips.txt, version.ini and help/ are put beside the test
// executable. The per-user profile lives in a temporary folder
// ($XDG_CONFIG_HOME is set by main before anything reads it).

inline std::string ProgramFile(const std::string& name) { return GetProgramFolder() + name; }

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

inline AppProfile TipProfile() { return AppProfile(AppProfile::DefaultPath()); }

// A profile value, or "<missing>" when the key is not in the file.
inline std::string TipProfileValue(const char* key) { return TipProfile().GetProfileString("Tip", key, "<missing>"); }

// Each test class registers itself; main runs them all.
using TestFactory = std::function<QObject*()>;
std::vector<TestFactory>& RegisteredTests();

template <class Test>
struct RegisterTest {
    RegisterTest() {
        RegisteredTests().push_back([] { return new Test; });
    }
};
