#include "platform/gl/Limits.h"

#include <GLES2/gl2.h>

#include <algorithm>

#include "platform/gl/Context.h"

namespace gl {

bool Limits::supportsExtension(const std::string& name) const
{
    return std::find(extensions.begin(), extensions.end(), name) != extensions.end();
}

const Limits& Limits::device()
{
    static const Limits limits = [] {
        Limits read;
        const auto previous = Context::currentContext();
        const auto context = Context::create();
        if (!context || !Context::setCurrentContext(context))
            return read;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &read.maxTextureSize);
        glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &read.maxTextureImageUnits);
        glGetIntegerv(GL_MAX_VARYING_VECTORS, &read.maxVaryingVectors);
        if (const auto* text = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS))) {
            std::string all = text;
            std::size_t start = 0;
            while (start < all.size()) {
                const std::size_t end = std::min(all.find(' ', start), all.size());
                if (end > start)
                    read.extensions.push_back(all.substr(start, end - start));
                start = end + 1;
            }
        }
        Context::setCurrentContext(previous);
        return read;
    }();
    return limits;
}

}  // namespace gl
