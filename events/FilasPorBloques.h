#pragma once

#include <algorithm>
#include <vector>

// A sequence addressed by position, kept in blocks of a few thousand rows, so
// that inserting or removing one row moves the rows of its block and the
// starts of the blocks, never every later row. Reading a position finds its
// block by the starts (a binary search).
// `Bloque`: rows a block takes while the sequence is built; a block that
// grows to twice this splits in two.
template <class T, int Bloque = 2048>
class FilasPorBloques {
public:
    int Cuenta() const { return cuenta_; }
    bool Vacia() const { return cuenta_ == 0; }

    const T &operator[](int i) const
    {
        const int b = BloqueDe(i);
        return bloques_[size_t(b)][size_t(i - inicios_[size_t(b)])];
    }
    const T &Ultima() const { return bloques_.back().back(); }

    void Limpia()
    {
        bloques_.clear();
        inicios_.clear();
        cuenta_ = 0;
    }

    // Adds a row after the last one.
    void Agrega(const T &fila)
    {
        if (bloques_.empty() || int(bloques_.back().size()) >= Bloque) {
            bloques_.emplace_back();
            bloques_.back().reserve(size_t(Bloque));
            inicios_.push_back(cuenta_);
        }
        bloques_.back().push_back(fila);
        ++cuenta_;
    }

    // Inserts a row at position i (0..Cuenta()); the rows from i on move one place later.
    void Inserta(int i, const T &fila)
    {
        if (i >= cuenta_) {
            if (bloques_.empty())
                Agrega(fila);
            else {
                bloques_.back().push_back(fila);
                ++cuenta_;
                Divide(int(bloques_.size()) - 1);
            }
            return;
        }
        const int b = BloqueDe(i);
        std::vector<T> &bloque = bloques_[size_t(b)];
        bloque.insert(bloque.begin() + (i - inicios_[size_t(b)]), fila);
        ++cuenta_;
        for (size_t k = size_t(b) + 1; k < inicios_.size(); ++k)
            ++inicios_[k];
        Divide(b);
    }

    // Removes the row at position i (0..Cuenta()-1).
    void Quita(int i)
    {
        const int b = BloqueDe(i);
        std::vector<T> &bloque = bloques_[size_t(b)];
        bloque.erase(bloque.begin() + (i - inicios_[size_t(b)]));
        --cuenta_;
        for (size_t k = size_t(b) + 1; k < inicios_.size(); ++k)
            --inicios_[k];
        if (bloque.empty()) {
            bloques_.erase(bloques_.begin() + b);
            inicios_.erase(inicios_.begin() + b);
        }
    }

    // The position of the first row that meets the test; -1 with none.
    template <class Prueba>
    int Encuentra(Prueba prueba) const
    {
        for (size_t b = 0; b < bloques_.size(); ++b)
            for (size_t k = 0; k < bloques_[b].size(); ++k)
                if (prueba(bloques_[b][k]))
                    return inicios_[b] + int(k);
        return -1;
    }

private:
    int BloqueDe(int i) const
    {
        return int(std::upper_bound(inicios_.begin(), inicios_.end(), i) - inicios_.begin()) - 1;
    }

    void Divide(int b)
    {
        std::vector<T> &bloque = bloques_[size_t(b)];
        if (int(bloque.size()) < 2 * Bloque)
            return;
        std::vector<T> segunda(bloque.begin() + Bloque, bloque.end());
        bloque.resize(size_t(Bloque));
        const int inicio = inicios_[size_t(b)] + Bloque;
        bloques_.insert(bloques_.begin() + b + 1, std::move(segunda));
        inicios_.insert(inicios_.begin() + b + 1, inicio);
    }

    std::vector<std::vector<T>> bloques_;
    std::vector<int> inicios_;   // position of each block's first row
    int cuenta_ = 0;
};
