#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// Finds existing files and folders whatever the case of their names, as the Windows file system
// does: an existing "Maps" answers "maps", an existing "DE_X.BSP" answers "de_x.bsp". A folder
// is listed at most once while the resolver lives, so that installing thousands of files into
// one folder does not read that folder once per file; what the program creates through the
// resolver is added to what it knows.
class CCaseResolver {
public:
    // The path with every component that exists under another case spelled as it exists;
    // components below a missing one are kept. '\' and '/' both separate components; the result
    // is native.
    std::string Resolve(const std::string& path);
    // Creates a resolved folder and its missing parents, but never base or the folders above it,
    // which must exist. True when the folder exists afterwards.
    bool CreateFolderChain(const std::string& resolvedFolder, const std::string& base = {});
    // A file or folder the program has just made at a resolved path.
    void Remember(const std::string& resolvedPath, bool isFolder);
    // True when nothing stands at a resolved path as far as the listings read so far tell,
    // without asking the file system; false when something does, or when it is not known.
    bool KnownAbsent(const std::string& resolvedPath) const;

private:
    struct Candidate {
        std::string name;
        bool isFolder;
    };
    // The names of one folder, by their case-folded form.
    using Listing = std::unordered_map<std::string, std::vector<Candidate>>;

    Listing* ListFolder(const std::string& folder);
    // Drops what is known below a folder (its path ending with '/') that has just been made.
    void Forget(const std::string& folder);

    // Ordered, so that everything below a folder is one range: a folder made again forgets
    // what lay below it without a pass over all the others.
    std::map<std::string, Listing, std::less<>> listings;  // folder path ending with '/'
    std::set<std::string, std::less<>> knownFolders;       // exact paths seen to be folders
};
