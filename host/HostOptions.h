#pragma once
// The command line of pla-host.
#include <string>

namespace host {

struct HostOptions {
    std::string Server;      // "http://host:port" of a running application server; empty = embedded
    bool Embedded = false;   // an in-process server over the demo database (the default without --server)
    std::string Db;          // database URL for the client's lookups; empty = the embedded demo database
    bool Smoke = false;      // sign on as the demo operator, open the screen, save a picture, exit
    std::string Screenshot;  // PNG written by --smoke
    std::string DataDir;     // where the demo database lives; empty = the user's data directory
    std::string CaFile;      // PEM file of the CAs an https:// server's certificate must verify against
};

// Parses the arguments. Returns false with `exitCode` set when the program
// should stop (help asked, or bad arguments, reported on the standard streams).
bool ParseHostOptions(int argc, char** argv, HostOptions& options, int& exitCode);

// $XDG_DATA_HOME/pla02000, else ~/.local/share/pla02000 (created when missing).
std::string DefaultDataDir();

}  // namespace host
