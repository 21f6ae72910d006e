#pragma once
// TDBPicture: the level structure of a tree code (products, dishes) read from
// its edit mask: runs of mask characters separated by literals are the levels
// ("99.99.999;0;_" has three levels of 2, 2 and 3 characters). Levels are
// numbered from 1 and passed as decimal text, as the screen does.
#include <string>
#include <vector>

class TDBPicture {
public:
    // Throws Exception for a mask without any level.
    explicit TDBPicture(const std::string& mask);
    const std::string& Mask() const { return mask_; }
    // Number of levels.
    int GetTtNiveis() const { return static_cast<int>(levels_.size()); }
    // Length of one level; level "0" is 0. Throws EConvertError for a text that
    // is not a number and Exception for a level beyond the last.
    int TamNivel(const std::string& level) const;
    // Length of the code up to and including a level (0 for level "0").
    int TamAcNivel(const std::string& level) const;
    int TamNivel(int level) const;
    int TamAcNivel(int level) const;
    // Level of a code by its length (0 when the length matches no level).
    int NivelDoCodigo(const std::string& code) const;
    // Whether each character fits its mask position (digits where the mask wants them).
    bool CodigoValido(const std::string& code) const;

private:
    int level(const std::string& text) const;
    std::string mask_;
    std::vector<int> levels_;
    std::string kinds_;  // mask characters of the code, literals left out
};
