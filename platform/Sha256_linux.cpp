#include "platform/Sha256.h"

#include <openssl/evp.h>

struct Sha256::State {
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    ~State() { EVP_MD_CTX_free(context); }
};

Sha256::Sha256() : state_(std::make_unique<State>())
{
    // Only a context that could not be made fails here, and its digest then comes out empty.
    if (!state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(state_->context);
        state_->context = nullptr;
    }
}

Sha256::~Sha256() = default;

void Sha256::add(QByteArrayView data)
{
    if (state_->context && EVP_DigestUpdate(state_->context, data.data(), size_t(data.size())) != 1) {
        EVP_MD_CTX_free(state_->context);
        state_->context = nullptr;
    }
}

QByteArray Sha256::result()
{
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    if (!state_->context ||
        EVP_DigestFinal_ex(state_->context, reinterpret_cast<unsigned char *>(digest.data()), &length) != 1)
        return {};
    digest.resize(length);
    return digest;
}
