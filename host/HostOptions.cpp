#include "HostOptions.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>

namespace host {

bool ParseHostOptions(int argc, char** argv, HostOptions& o, int& exitCode) {
    CLI::App app{"pla-host: planejamento (retirada) no desktop"};
    app.add_option("--server", o.Server, "URL de um servidor de aplicação em execução (http://host:porta ou https://host:porta)");
    app.add_flag("--embedded", o.Embedded, "servidor de aplicação no próprio processo, sobre o banco de demonstração");
    app.add_option("--db", o.Db, "banco das consultas do cliente: sqlite:CAMINHO, postgresql://USUARIO@HOST:PORTA/BANCO (ou postgres://) "
                   "ou a forma chave=valor da libpq (\"host=/run/postgresql dbname=pla\")");
    app.add_flag("--smoke", o.Smoke, "entra como operador de demonstração, abre a tela, salva a imagem e sai");
    app.add_option("--screenshot", o.Screenshot, "arquivo PNG da imagem do --smoke");
    app.add_option("--data-dir", o.DataDir, "pasta do banco de demonstração");
    app.add_option("--ca-file", o.CaFile, "certificados (PEM) das autoridades em que confiar com --server https://...")
        ->check(CLI::ExistingFile);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        exitCode = app.exit(e);
        return false;
    }
    if (!o.Server.empty() && o.Embedded) {
        std::fprintf(stderr, "pla-host: use --server ou --embedded, não os dois.\n");
        exitCode = 2;
        return false;
    }
    if (o.Server.empty()) o.Embedded = true;
    if (o.Smoke && o.Screenshot.empty()) {
        std::fprintf(stderr, "pla-host: --smoke precisa de --screenshot ARQUIVO.\n");
        exitCode = 2;
        return false;
    }
    return true;
}

std::string DefaultDataDir() {
    namespace fs = std::filesystem;
    fs::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home) base = fs::path(home) / ".local" / "share";
    else base = fs::temp_directory_path();
    fs::path dir = base / "pla02000";
    fs::create_directories(dir);
    return dir.string();
}

}  // namespace host
