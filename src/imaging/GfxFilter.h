#pragma once

#include "imaging/GfxInput.h"
#include "imaging/GfxOutput.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class GLProgram;

extern const char* const PassthroughVertexShader;
extern const char* const PassthroughFragmentShader;

// A node with one input texture that it draws through a fragment shader into
// an output framebuffer from the cache, which it then hands to its targets.
class GfxFilter : public GfxOutput, public GfxInput {
public:
    GfxFilter(const std::string& vertexShader, const std::string& fragmentShader);
    explicit GfxFilter(const std::string& fragmentShader);
    GfxFilter();
    ~GfxFilter() override;

    // Texture coordinates of the four quad vertices for a rotation.
    static const std::array<float, 8>& textureCoordinatesForRotation(RotationMode rotation);
    static const std::array<float, 8>& imageVertices();
    static ui::Point rotatedPoint(ui::Point point, RotationMode rotation);

    virtual void setupFilterForSize(ui::Size /*filterFrameSize*/) {}
    ui::Size sizeOfFBO() const;
    virtual ui::Size outputFrameSize() const { return inputTextureSize_; }
    virtual void renderToTexture(const std::array<float, 8>& vertices, const std::array<float, 8>& textureCoordinates);
    void informTargetsAboutNewFrameAtTime(media::MediaTime frameTime);
    void setBackgroundColor(float red, float green, float blue, float alpha);

    // Uniform values, re-applied before every draw because programs are
    // shared between nodes with equal sources.
    void setFloat(float value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setInteger(int value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setSize(ui::Size value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setPoint(ui::Point value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setVec3(std::array<float, 3> value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setVec4(std::array<float, 4> value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setMatrix3f(std::array<float, 9> value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setMatrix4f(std::array<float, 16> value, int uniform, const std::shared_ptr<GLProgram>& program);
    void setFloatArray(const float* values, int length, int uniform, const std::shared_ptr<GLProgram>& program);
    void setFloat(float value, const std::string& uniformName);
    void setInteger(int value, const std::string& uniformName);
    void setAndExecuteUniformStateCallbackAtIndex(int uniform, const std::shared_ptr<GLProgram>& program,
                                                  std::function<void()> callback);
    void setUniformsForProgramAtIndex(int programIndex);

    // GfxInput
    void newFrameReadyAtTime(media::MediaTime frameTime, int textureIndex) override;
    void setInputFramebuffer(std::shared_ptr<GfxFramebuffer> framebuffer, int textureIndex) override;
    int nextAvailableTextureIndex() const override { return 0; }
    void setInputSize(ui::Size size, int textureIndex) override;
    void setInputRotation(RotationMode rotation, int textureIndex) override;
    ui::Size maximumOutputSize() const override { return {}; }
    void endProcessing() override;
    bool shouldIgnoreUpdatesToThisTarget() const override { return shouldIgnoreUpdatesToThisTarget_; }
    bool enabled() const override { return enabled_; }
    bool wantsMonochromeInput() const override { return false; }
    void setCurrentlyReceivingMonochromeInput(bool monochrome) override
    {
        currentlyReceivingMonochromeInput_ = monochrome;
    }
    virtual ui::Size rotatedSize(ui::Size size, int textureIndex) const;

    void forceProcessingAtSize(ui::Size frameSize) override;
    void forceProcessingAtSizeRespectingAspectRatio(ui::Size frameSize) override;

    bool preventRendering() const { return preventRendering_; }
    void setPreventRendering(bool prevent) { preventRendering_ = prevent; }
    const std::shared_ptr<GLProgram>& filterProgram() const { return filterProgram_; }

protected:
    // Subclasses with more attributes bind them here, before linking.
    GfxFilter(const std::string& vertexShader, const std::string& fragmentShader,
              const std::vector<std::string>& attributes);
    // Binds the inputs beyond the first before the draw, and lets go of them after it.
    virtual void bindAdditionalInputs() {}
    virtual void releaseAdditionalInputs() {}

    std::shared_ptr<GfxFramebuffer> firstInputFramebuffer_;
    std::shared_ptr<GLProgram> filterProgram_;
    unsigned filterPositionAttribute_ = 0;
    unsigned filterTextureCoordinateAttribute_ = 1;
    int filterInputTextureUniform_ = -1;
    float backgroundColorRed_ = 0;
    float backgroundColorGreen_ = 0;
    float backgroundColorBlue_ = 0;
    float backgroundColorAlpha_ = 0;
    bool isEndProcessing_ = false;
    RotationMode inputRotation_ = NoRotation;
    bool currentlyReceivingMonochromeInput_ = false;
    std::map<int, std::function<void()>> uniformStateRestorationBlocks_;
    bool preventRendering_ = false;
};
