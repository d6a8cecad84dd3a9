#include "OperationRun.h"

#include "RendererCounts.h"
#include "StatusLine.h"

OperationRun::OperationRun(DeviceSession& session, const OperationOptions& options,
                           const std::string& title)
    : m_Session(session), m_Options(options)
{
    if (options.preview.bVideo)
        m_pPreview = PreviewOwner::OpenIfDisplay(title);
    session.Host().SetVideoOwner(m_pPreview ? m_pPreview->Handle() : 0);
}

OperationOutcome OperationRun::Wait(
    const std::function<std::string(std::chrono::duration<double>)>& describe)
{
    StatusLine line(stderr);
    const OperationOutcome outcome = WaitForOperationEnd(
        m_Session.Context().MediaEvent(), m_Options.limit,
        [&](std::chrono::duration<double> elapsed)
        {
            if (m_pPreview)
                m_pPreview->ProcessEvents();
            line.Show(describe(elapsed));
        });
    line.Finish();
    m_PreviewCounts = DescribeRendererCounts(m_Session.Context().Slots().pVideoRenderer.Get());
    return outcome;
}
