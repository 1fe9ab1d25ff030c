#include "platform/Sha256.h"

// bcrypt.h needs the types windows.h declares.
#include <windows.h>
// Kept apart so that sorting the includes leaves it second.
#include <bcrypt.h>

// Windows' own crypto (CNG) uses the processor's SHA instructions where it has them.
struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool failed = false;
    ~State()
    {
        if (hash)
            BCryptDestroyHash(hash);
        if (algorithm)
            BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

Sha256::Sha256() : state_(std::make_unique<State>())
{
    // Only a provider that could not be opened fails here, and the digest then comes out empty.
    state_->failed =
        !BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0));
}

Sha256::~Sha256() = default;

void Sha256::add(QByteArrayView data)
{
    // CNG takes at most 4 GiB at a time.
    while (!state_->failed && !data.isEmpty()) {
        const auto chunk = ULONG(std::min<qsizetype>(data.size(), 1 << 30));
        auto *bytes = reinterpret_cast<PUCHAR>(const_cast<char *>(data.data()));
        state_->failed = !BCRYPT_SUCCESS(BCryptHashData(state_->hash, bytes, chunk, 0));
        data = data.sliced(chunk);
    }
}

QByteArray Sha256::result()
{
    QByteArray digest(32, Qt::Uninitialized);
    if (state_->failed ||
        !BCRYPT_SUCCESS(BCryptFinishHash(state_->hash, reinterpret_cast<PUCHAR>(digest.data()), 32, 0)))
        return {};
    state_->failed = true;
    return digest;
}
