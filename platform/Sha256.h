#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

// SHA-256 by the system's own crypto library, which uses the processor's SHA instructions where it has
// them: several times faster than a portable implementation, which would set the pace of a copy that is
// hashed twice.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256 &) = delete;
    Sha256 &operator=(const Sha256 &) = delete;

    void add(QByteArrayView data);
    // The 32-byte digest of everything added; the object is then spent.
    QByteArray result();

private:
    struct State;
    std::unique_ptr<State> state_;
};
