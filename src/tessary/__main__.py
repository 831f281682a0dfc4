import sys

from tessary.cli import main

sys.exit(main())
