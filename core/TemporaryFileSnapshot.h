#pragma once

#include <set>
#include <string>

// The encoder's temporary files in an output folder as they were when a run
// started. A run killed outright leaves its temporary file behind; after
// such a run, the temporary files that were not there at its start are its
// leftovers.
class TemporaryFileSnapshot {
public:
    explicit TemporaryFileSnapshot(std::string folder);

    // Removes the regular temporary files that have appeared since the
    // snapshot; links, folders and everything older stay.
    void RemoveNewFiles() const;

private:
    std::set<std::string> TemporaryNames() const;

    std::string m_folder;
    std::set<std::string> m_names;
};
