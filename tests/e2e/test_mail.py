"""Mail: whether Outlook counts as installed, as GRIV decides at start-up."""
import pytest


@pytest.fixture
def outlook(clean):
    rig = clean
    yield rig
    rig.remove_outlook()


def use_outlook_after_a_run(rig):
    rig.reg_set('UseOutlook', 'Yes')
    rig.close_griv(rig.start_griv())
    return rig.reg_query('UseOutlook')


def test_use_outlook_is_kept_only_while_app_paths_names_an_existing_outlook(outlook):
    rig = outlook
    rig.install_outlook()
    assert rig.wine('reg', 'query', r'HKCR\Outlook.Application\CLSID').returncode == 0
    assert use_outlook_after_a_run(rig) == 'Yes'
    # The entry names a file that is not there: no Outlook, the setting falls back.
    rig.install_outlook(exe_exists=False)
    assert use_outlook_after_a_run(rig) == 'No'
    rig.remove_outlook()
    assert use_outlook_after_a_run(rig) == 'No'
    assert rig.wine('reg', 'query', r'HKCR\Outlook.Application').returncode != 0

