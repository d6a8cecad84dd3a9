#pragma once

#include "c3stream/es_video_extensions.h"
#include "c3stream/es_video_headers.h"
#include "c3stream/syntax.h"

#include <cstdint>
#include <memory>

// The MPEG video elementary stream as a tree down to the picture level: sequences, groups of
// pictures and pictures are composites of start-code elements, and each picture keeps its
// slices as one raw block that points into the read buffer.

// Sequences, then at most one sequence end, after which the list reads nothing more.
class CVideoSequenceList : public CCompositeElement
{
protected:
    // Moves to the first start code; the list has no header of its own.
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;

private:
    bool m_bEnded = false;
};

// A sequence header, then extensions, user data, groups of pictures and pictures up to the
// next sequence header or sequence end.
class CVideoSequence : public CCompositeElement
{
public:
    CSequenceHeader* SequenceHeader() const;

protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;
};

// A group-of-pictures header, then extensions, user data and pictures up to the next group,
// sequence header or sequence end.
class CGroupOfPictures : public CCompositeElement
{
public:
    CGopHeader* GopHeader() const;

protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;
};

// A picture header, its extensions and user data, and its slices as one raw block. Every slice
// must be followed by a start code in the buffer: a last slice without one throws
// CReaderException, because where the picture ends cannot be told.
class CPicture : public CCompositeElement
{
public:
    // Writes the header and children, then copies the slice block.
    void Write(CBufferWriter& writer) override;

    CPictureHeader* PictureHeader() const;

    const std::uint8_t* m_pSlices = nullptr;
    std::uint32_t m_cbSlices = 0;
    std::uint32_t m_nSliceCount = 0;

protected:
    std::unique_ptr<CSyntaxElement> CreateHeader(CBufferReader& reader) override;
    std::unique_ptr<CSyntaxElement> CreateNext(CBufferReader& reader) override;

private:
    void ReadSlices(CBufferReader& reader);
};

// The root of a video elementary stream held in one buffer. Bytes before the first start code
// are passed over and not kept.
class CVideoStream : public CSyntaxElement
{
public:
    CVideoStream();
    ~CVideoStream() override;

    // Without any start code the stream stays empty and Found() is false.
    void Read(CBufferReader& reader) override;
    void Write(CBufferWriter& writer) override;
    // Hands over the stream first, then walks the sequence list.
    bool Accept(IProcessor& processor) override;

    bool Found() const { return m_bFound; }
    CVideoSequenceList* SequenceList() const { return m_pSequenceList.get(); }

private:
    std::unique_ptr<CVideoSequenceList> m_pSequenceList;
    bool m_bFound = false;
};

// Makes the elements of the video stream; install a derived factory to parse into derived
// classes.
class CVideoFactory
{
public:
    virtual ~CVideoFactory() = default;

    virtual std::unique_ptr<CVideoSequenceList> CreateSequenceList();
    virtual std::unique_ptr<CVideoSequence> CreateSequence();
    // The element a start code opens inside a sequence, or null.
    virtual std::unique_ptr<CSyntaxElement> CreateByStartCode(std::uint32_t nCode);
    // The body for an extension identifier, or null for identifiers without one.
    virtual std::unique_ptr<CExtensionBody> CreateExtension(std::uint8_t byIdentifier);
    // The header of the composite a start code opens, or null.
    virtual std::unique_ptr<CSyntaxElement> CreateHeaderByStartCode(std::uint32_t nCode);
};
